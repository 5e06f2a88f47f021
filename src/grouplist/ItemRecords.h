#pragma once
// Reading and writing an item's record in the control's document.

#include "grouplist/ListInstance.h"

namespace grouplist {

// Reads an item; false when the control has no document, the handle names no
// element or the element's handle reads 0. element, when given, receives the
// element (not AddRef'd: the document keeps it alive).
bool ReadItem(const ListInstance& instance, int handle, ItemRecord& record, IXMLDOMElement** element = nullptr);
// Writes an entry's attributes in their fixed order; a new entry has no
// flashing state yet, so withFlashState false leaves those two out.
void WriteAllAttributes(IXMLDOMElement* element, const ItemRecord& record, bool withFlashState = true);
[[nodiscard]] bool IsGroup(const ItemDocument& document, int handle);

// Handles as the document keeps them: decimal text of the 32-bit value.
[[nodiscard]] inline int BitmapToInt(HBITMAP bitmap) { return HandleToLong(bitmap); }
[[nodiscard]] inline HBITMAP IntToBitmap(int value) { return static_cast<HBITMAP>(LongToHandle(value)); }

} // namespace grouplist
