#pragma once
// The list box's rows: each carries one item handle as its data.

#include "grouplist/ListInstance.h"

#include <string>

namespace grouplist {

// The list's one redraw pause. While rows change, each insert, delete or
// height change would otherwise update the scroll bar and invalidate the
// rows below it (about 8 ms a row under Wine). Pauses nest; when the
// outermost one ends the list is repainted once, and only if its row count
// changed or a pause that changed rows asked for it.
void PauseRedraw(ListInstance& instance);
void ResumeRedraw(ListInstance& instance, bool rowsChanged);

// A pause over a scope whose work changes rows.
class RowBatch {
public:
    explicit RowBatch(ListInstance& instance) : m_instance(instance) { PauseRedraw(m_instance); }
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;
    ~RowBatch() { ResumeRedraw(m_instance, true); }

private:
    ListInstance& m_instance;
};

[[nodiscard]] int RowCount(HWND list);
[[nodiscard]] int ItemAtRow(HWND list, int row); // LB_ERR when there is no such row
// Inserts (row >= 0) or appends (row < 0) a row for the item; its new index.
// The text is what accessibility tools read for the row.
int AddRow(HWND list, int row, int handle, int height, const std::wstring& text);
// The height of the row AddRow is adding, for the host's WM_MEASUREITEM;
// 0 at any other time.
[[nodiscard]] int HeightOfRowBeingAdded();
// Gives a row new text, keeping its item, height and selection.
void SetRowText(HWND list, int row, const std::wstring& text);
void DeleteRow(HWND list, int row); // none when row < 0
void SetRowHeight(HWND list, int row, int height);
[[nodiscard]] bool IsEntryRow(const ListInstance& instance, int row);
// The row the item has now, or -1 when it has none.
[[nodiscard]] int RowOfItem(const ListInstance& instance, int handle);
// Scrolls the least that shows the whole row (its top, for a row taller
// than the list); true when the list scrolled.
bool ScrollRowIntoView(HWND list, int row);

} // namespace grouplist
