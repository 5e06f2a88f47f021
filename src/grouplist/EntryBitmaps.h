#pragma once
// The avatar bitmaps entry elements name, which the control owns.

#include "grouplist/ItemDocument.h"

namespace grouplist {

// Deletes the avatar and grey bitmaps an entry element names.
void DeleteEntryBitmaps(IXMLDOMElement* element);
// The same for every entry of the document.
void DeleteAllEntryBitmaps(const ItemDocument& document);

} // namespace grouplist
