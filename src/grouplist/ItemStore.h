#pragma once
// The control's internal routines over its item document and list rows: the
// row-index scheme (every shown item's 项目索引 is its row) and the record
// reads and writes every operation builds on.

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

// Sets 项目索引 of every row after the given one (-1: all rows), then puts
// the hover and selected rows back on their items.
void RenumberRows(ListInstance& instance, int row);
void ExpandRows(ListInstance& instance, int groupHandle);
void CollapseRows(ListInstance& instance, int groupHandle);

// The hover and selected rows follow their items' rows; an item that lost
// its row (hidden or removed) is no longer hovered or selected.
void FollowMarkedItems(ListInstance& instance);
void SetHoverRow(ListInstance& instance, int row);
void SetSelectedRow(ListInstance& instance, int row);

// Whether the display mode shows the selected entry at the large height.
[[nodiscard]] bool EnlargesSelection(const ListInstance& instance);
// Moves the selection to a row (-1: none) and repaints what changed; an
// enlarged selection gives the old row back its height.
void MoveSelection(ListInstance& instance, int row);

// Holds the list box's redrawing while many rows change: each row insert,
// delete or height change would otherwise update the scroll bar and
// invalidate the rows below it (about 8 ms a row under Wine). The list is
// repainted once at the end. Nests.
class RowBatch {
public:
    explicit RowBatch(ListInstance& instance);
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;
    ~RowBatch();

private:
    ListInstance& m_instance;
};

// List box rows.
[[nodiscard]] int RowCount(HWND list);
[[nodiscard]] int ItemAtRow(HWND list, int row); // LB_ERR when there is no such row
// Inserts (row >= 0) or appends (row < 0) a row for the item; its new index.
int AddRow(HWND list, int row, int handle, int height);
void DeleteRow(HWND list, int row); // none when row < 0
void SetRowHeight(HWND list, int row, int height);
[[nodiscard]] bool IsEntryRow(const ListInstance& instance, int row);

// Deletes the avatar and grey bitmaps an entry element names.
void DeleteEntryBitmaps(IXMLDOMElement* element);
// The same for every entry of the document.
void DeleteAllEntryBitmaps(const ItemDocument& document);

// Handles as the document keeps them: decimal text of the 32-bit value.
[[nodiscard]] inline int BitmapToInt(HBITMAP bitmap) { return HandleToLong(bitmap); }
[[nodiscard]] inline HBITMAP IntToBitmap(int value) { return static_cast<HBITMAP>(LongToHandle(value)); }

} // namespace grouplist
