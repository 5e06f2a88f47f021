#pragma once
// The avatar bitmaps entry elements name, which the control owns. A bitmap
// may be shown by many entries (a shared picture): it is counted, and the
// last entry to let go of it deletes it.

#include "grouplist/ItemDocument.h"

namespace grouplist {

// One more owner for picture. A bitmap nobody shared has one owner.
void SharePicture(HBITMAP picture);
// One owner fewer; the last one deletes the bitmap.
void ReleasePicture(HBITMAP picture);

// Gives back the avatar and grey bitmaps an entry element names.
void DeleteEntryBitmaps(IXMLDOMElement* element);
// The same for every entry of the document.
void DeleteAllEntryBitmaps(const ItemDocument& document);

} // namespace grouplist
