#include "grouplist/ListRows.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

} // namespace

RowBatch::RowBatch(ListInstance& instance) : m_instance(instance)
{
    if (m_instance.redrawPauses++ == 0)
        ::SendMessageW(m_instance.list, WM_SETREDRAW, FALSE, 0);
}

RowBatch::~RowBatch()
{
    if (--m_instance.redrawPauses == 0) {
        ::SendMessageW(m_instance.list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_instance.list, nullptr, TRUE);
    } else {
        m_instance.redrawOwed = true;
    }
}

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
}

int ItemAtRow(HWND list, int row)
{
    return static_cast<int>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

int AddRow(HWND list, int row, int handle, int height)
{
    // Without LBS_HASSTRINGS the "string" a row is added with is its item data.
    const LPARAM data = handle;
    const LRESULT added = row < 0 ? ::SendMessageW(list, LB_ADDSTRING, 0, data)
                                  : ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), data);
    if (added < 0)
        return -1;
    SetRowHeight(list, static_cast<int>(added), height);
    return static_cast<int>(added);
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

} // namespace grouplist
