#include "grouplist/ListWindowProcs.h"

#include "grouplist/ItemStore.h"
#include "grouplist/RowPainter.h"

#include <commctrl.h>
#include <windowsx.h>

namespace grouplist {

namespace {

constexpr UINT_PTR kListSubclassId = 1;

// The window whose mouse-leave tracking is active; one mouse, one window.
HWND g_trackedWindow = nullptr;

LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;

struct HitTest {
    int row = -1;
    bool onRow = false;
};

// The row under a mouse message's point. LB_ITEMFROMPOINT carries 1 in its
// high word for a point below the last row; the rectangle check then fails.
HitTest RowAt(HWND list, LPARAM point)
{
    const auto result = static_cast<DWORD>(::SendMessageW(list, LB_ITEMFROMPOINT, 1, point));
    HitTest hit;
    hit.row = static_cast<int>(LOWORD(result));
    RECT rect{};
    if (HIWORD(result) == 0 &&
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(hit.row), reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        hit.onRow = GET_Y_LPARAM(point) <= rect.bottom;
    return hit;
}

RECT RowRect(HWND list, int row)
{
    RECT rect{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// The 1-based position of the layout slot strictly containing the point
// (relative to the row), or 0.
int IconSlotAt(const ListInstance& instance, const ItemRecord& item, const RECT& rowRect, int x, int y)
{
    const int rx = x - rowRect.left;
    const int ry = y - rowRect.top;
    const std::vector<ServiceIconSlot> slots =
        LayoutServiceIcons(instance.serviceIconCount, item, rowRect.bottom - rowRect.top);
    for (size_t i = 0; i < slots.size(); ++i) {
        const RECT& r = slots[i].rect;
        if (r.left < rx && rx < r.right && r.top < ry && ry < r.bottom)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

// Calls a host handler. Exceptions stop here: they must not unwind through
// the system's window procedure. False when the handler destroyed the list.
bool Report(HWND list, const ListEventHandler& handler, int item, int x, int y)
{
    if (handler) {
        try {
            ListEventHandler call = handler; // the handler may replace itself
            call(item, x, y);
        } catch (...) {
        }
    }
    return FindInstance(list) != nullptr;
}

void SetRowHeight(HWND list, int row, int height)
{
    ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(row), MAKELPARAM(height, 0));
}

bool IsEntryRow(const ListInstance& instance, int row)
{
    IXMLDOMElement* element = instance.document.Find(ItemAtRow(instance.list, row));
    return element && ItemDocument::Text(element, Attr::Kind) != kKindGroup;
}

bool Enlarging(const ListInstance& instance)
{
    return instance.enlargeSelected && instance.displayMode != 0;
}

void OnMouseMove(HWND list, ListInstance& instance, LPARAM point)
{
    if (g_trackedWindow != list) {
        g_trackedWindow = list;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list, 0};
        ::TrackMouseEvent(&track);
    }
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    const HitTest hit = RowAt(list, point);
    if (hit.onRow && instance.hoverRow != hit.row) {
        const int previous = instance.hoverRow;
        SetHoverRow(instance, hit.row);
        if (previous != -1) {
            PaintRow(instance, previous);
            if (!Report(list, instance.handlers.rowLeave, ItemAtRow(list, previous), x, y))
                return;
        }
        PaintRow(instance, hit.row);
        Report(list, instance.handlers.rowEnter, ItemAtRow(list, hit.row), x, y);
    } else if (hit.onRow) {
        ItemRecord item;
        if (!ReadItem(instance, ItemAtRow(list, hit.row), item) || item.serviceIconCount == 0)
            return;
        const int slot = IconSlotAt(instance, item, RowRect(list, hit.row), x, y);
        if (slot != instance.hoveredServiceIcon)
            PaintRow(instance, hit.row, nullptr, slot);
    } else if (instance.hoverRow != -1) {
        const int previous = instance.hoverRow;
        SetHoverRow(instance, -1);
        PaintRow(instance, previous);
        Report(list, instance.handlers.rowLeave, ItemAtRow(list, previous), x, y);
    }
}

// Reports a click or double-click on a row; a click also toggles a group.
void OnRowClick(HWND list, ListInstance& instance, bool doubleClick, int row, int x, int y)
{
    const int handle = ItemAtRow(list, row);
    ItemRecord item;
    if (!ReadItem(instance, handle, item))
        return;
    if (doubleClick) {
        Report(list, item.IsGroup() ? instance.handlers.groupDoubleClick : instance.handlers.entryDoubleClick, handle,
               x, y);
        return;
    }
    if (item.IsGroup()) {
        if (item.expanded)
            CollapseRows(instance, handle);
        else
            ExpandRows(instance, handle);
        ::SendMessageW(list, WM_LIST_PAINTROW, static_cast<WPARAM>(item.rowIndex), 0);
        Report(list, instance.handlers.groupClick, handle, x, y);
        return;
    }
    if (item.serviceIconCount > 0) {
        const RECT rect = RowRect(list, row);
        const int rx = x - rect.left;
        const int ry = y - rect.top;
        for (const ServiceIconSlot& slot : LayoutServiceIcons(instance.serviceIconCount, item, rect.bottom - rect.top)) {
            const RECT& r = slot.rect;
            if (r.left < rx && rx < r.right && r.top < ry && ry < r.bottom) {
                Report(list, instance.handlers.serviceIconClick, handle, slot.icon, 0);
                return;
            }
        }
    }
    Report(list, instance.handlers.entryClick, handle, x, y);
}

LRESULT OnLeftButtonUp(HWND list, ListInstance& instance, WPARAM wParam, LPARAM point)
{
    const HitTest hit = RowAt(list, point);
    if (!hit.onRow) {
        if (instance.selectedRow != -1) {
            const int previous = instance.selectedRow;
            SetSelectedRow(instance, -1);
            if (Enlarging(instance)) {
                if (IsEntryRow(instance, previous))
                    SetRowHeight(list, previous, instance.entryRowHeight);
                ::InvalidateRect(list, nullptr, TRUE);
            } else {
                PaintRow(instance, previous);
            }
        }
        return ::DefSubclassProc(list, WM_LBUTTONUP, wParam, point);
    }
    const LRESULT result = ::DefSubclassProc(list, WM_LBUTTONUP, wParam, point);
    if (instance.selectedRow != hit.row) {
        const int previous = instance.selectedRow;
        SetSelectedRow(instance, hit.row);
        if (Enlarging(instance)) {
            if (previous != -1 && IsEntryRow(instance, previous))
                SetRowHeight(list, previous, instance.entryRowHeight);
            if (IsEntryRow(instance, hit.row))
                SetRowHeight(list, hit.row, kLargeRowHeight);
            ::InvalidateRect(list, nullptr, FALSE);
        } else {
            PaintRow(instance, previous);
            PaintRow(instance, hit.row);
        }
    }
    OnRowClick(list, instance, false, hit.row, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    return result;
}

LRESULT OnListMessage(HWND list, ListInstance& instance, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LIST_PAINTROW:
        PaintRow(instance, static_cast<int>(wParam));
        return 1;
    case WM_MOUSEMOVE:
        OnMouseMove(list, instance, lParam);
        break;
    case WM_LBUTTONUP:
        return OnLeftButtonUp(list, instance, wParam, lParam);
    case WM_LBUTTONDBLCLK: {
        const HitTest hit = RowAt(list, lParam);
        const LRESULT result = ::DefSubclassProc(list, message, wParam, lParam);
        if (hit.onRow)
            OnRowClick(list, instance, true, hit.row, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return result;
    }
    case WM_RBUTTONDOWN: {
        const HitTest hit = RowAt(list, lParam);
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        if (!hit.onRow) {
            if (!Report(list, instance.handlers.blankRightClick, 0, x, y))
                return 0;
            break;
        }
        const LRESULT result = ::DefSubclassProc(list, message, wParam, lParam);
        if (ListInstance* alive = FindInstance(list)) {
            const int handle = ItemAtRow(list, hit.row);
            Report(list, IsGroup(alive->document, handle) ? alive->handlers.groupRightClick
                                                          : alive->handlers.entryRightClick,
                   handle, x, y);
        }
        return result;
    }
    case WM_MOUSELEAVE:
        g_trackedWindow = nullptr;
        if (instance.hoverRow != -1) {
            const int previous = instance.hoverRow;
            SetHoverRow(instance, -1);
            PaintRow(instance, previous);
            if (!Report(list, instance.handlers.rowLeave, ItemAtRow(list, previous), 0, 0))
                return 0;
        }
        break;
    case WM_NCDESTROY: {
        ::RemoveWindowSubclass(list, ListProc, kListSubclassId);
        ::RemoveWindowSubclass(instance.host, HostProc, reinterpret_cast<UINT_PTR>(list));
        if (g_trackedWindow == list)
            g_trackedWindow = nullptr;
        const LRESULT result = ::DefSubclassProc(list, message, wParam, lParam);
        RemoveInstance(list);
        return result;
    }
    default:
        break;
    }
    if (!FindInstance(list))
        return 0; // a handler destroyed the window
    return ::DefSubclassProc(list, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept
{
    try {
        if (ListInstance* instance = FindInstance(list))
            return OnListMessage(list, *instance, message, wParam, lParam);
    } catch (...) {
        // Out of memory while painting or reading items: the row stays as it was.
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) noexcept
{
    const auto list = reinterpret_cast<HWND>(id);
    ListInstance* instance = FindInstance(list);
    if (!instance)
        return ::DefSubclassProc(host, message, wParam, lParam);
    try {
        switch (message) {
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType != ODT_LISTBOX || draw->hwndItem != list)
                break;
            const RowTarget target{draw->hDC, draw->rcItem};
            PaintRow(*instance, static_cast<int>(draw->itemID), &target);
            return TRUE;
        }
        case WM_SIZE: {
            const LRESULT result = ::DefSubclassProc(host, message, wParam, lParam);
            RECT rect{};
            ::GetWindowRect(host, &rect);
            ::MoveWindow(list, 0, 0, rect.right - rect.left, rect.bottom - rect.top, TRUE);
            return result;
        }
        case WM_CTLCOLORLISTBOX:
            if (reinterpret_cast<HWND>(lParam) == list)
                return reinterpret_cast<LRESULT>(instance->backgroundBrush.get());
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(host, HostProc, id);
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return ::DefSubclassProc(host, message, wParam, lParam);
}

} // namespace

bool InstallWindowProcs(ListInstance& instance)
{
    // The host's subclass is keyed by the list window, so one host can hold
    // several lists, each answering only for its own.
    return ::SetWindowSubclass(instance.list, ListProc, kListSubclassId, 0) &&
           ::SetWindowSubclass(instance.host, HostProc, reinterpret_cast<UINT_PTR>(instance.list), 0);
}

} // namespace grouplist
