#include "grouplist/ListRows.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

// A variable-height list box asks its parent for each new row's height;
// answered there, the row needs no LB_SETITEMHEIGHT after it, which costs as
// much again under Wine. Rows are added on the window thread only.
int g_heightBeingAdded = 0;

} // namespace

void PauseRedraw(ListInstance& instance)
{
    if (instance.redrawPauses++ > 0)
        return;
    instance.rowsAtPause = RowCount(instance.list);
    instance.redrawOwed = false;
    ::SendMessageW(instance.list, WM_SETREDRAW, FALSE, 0);
}

void ResumeRedraw(ListInstance& instance, bool rowsChanged)
{
    if (instance.redrawPauses == 0)
        return;
    instance.redrawOwed = instance.redrawOwed || rowsChanged;
    if (--instance.redrawPauses > 0)
        return;
    ::SendMessageW(instance.list, WM_SETREDRAW, TRUE, 0);
    // Work that only added entries to collapsed groups changed nothing on
    // screen: no repaint for it.
    if (instance.redrawOwed || RowCount(instance.list) != instance.rowsAtPause)
        ::InvalidateRect(instance.list, nullptr, TRUE);
    instance.redrawOwed = false;
}

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
}

int ItemAtRow(HWND list, int row)
{
    return static_cast<int>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

int AddRow(HWND list, int row, int handle, int height, const std::wstring& text)
{
    const auto string = reinterpret_cast<LPARAM>(text.c_str());
    g_heightBeingAdded = height;
    const LRESULT added = row < 0 ? ::SendMessageW(list, LB_ADDSTRING, 0, string)
                                  : ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), string);
    g_heightBeingAdded = 0;
    if (added < 0)
        return -1;
    ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(added), handle);
    return static_cast<int>(added);
}

int HeightOfRowBeingAdded()
{
    return g_heightBeingAdded;
}

void SetRowText(HWND list, int row, const std::wstring& text)
{
    // A list box cannot change a row's text: the row is made again in its place.
    const int handle = ItemAtRow(list, row);
    if (row < 0 || handle == LB_ERR)
        return;
    const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0));
    const bool selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0) == row;
    DeleteRow(list, row);
    if (AddRow(list, row, handle, height, text) == row && selected)
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void DeleteRow(HWND list, int row)
{
    if (row >= 0)
        ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void SetRowHeight(HWND list, int row, int height)
{
    ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(row), MAKELPARAM(height, 0));
}

bool IsEntryRow(const ListInstance& instance, int row)
{
    IXMLDOMElement* element = row >= 0 ? instance.document.Find(ItemAtRow(instance.list, row)) : nullptr;
    return element && Doc::Text(element, Attr::Kind) != kKindGroup;
}

int RowOfItem(const ListInstance& instance, int handle)
{
    IXMLDOMElement* element = handle > 0 ? instance.document.Find(handle) : nullptr;
    if (!element)
        return -1;
    const int row = Doc::Int(element, Attr::RowIndex);
    return row >= 0 && ItemAtRow(instance.list, row) == handle ? row : -1;
}

bool ScrollRowIntoView(HWND list, int row)
{
    RECT rect{};
    RECT client{};
    if (::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
        return false;
    ::GetClientRect(list, &client);
    int top = -1;
    if (rect.top < 0) {
        top = row;
    } else if (rect.bottom > client.bottom) {
        // The highest top row that leaves the whole row in sight: rows differ in height.
        top = row;
        int used = rect.bottom - rect.top;
        while (top > 0) {
            const auto above =
                static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(top - 1), 0));
            if (above <= 0 || used + above > client.bottom)
                break;
            used += above;
            --top;
        }
    }
    if (top < 0)
        return false;
    ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    return true;
}

} // namespace grouplist
