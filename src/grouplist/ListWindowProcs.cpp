#include "grouplist/ListWindowProcs.h"

#include "base/CallHandler.h"
#include "base/MouseLeaveTracker.h"
#include "grouplist/EntryAnimations.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ItemText.h"
#include "grouplist/ListRows.h"
#include "grouplist/ListTooltip.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/RenameEdit.h"
#include "grouplist/RowModel.h"
#include "grouplist/RowPainter.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <vector>

// Both windows are subclassed by replacing their window procedure, not with
// SetWindowSubclass: under Wine every message through a SetWindowSubclass
// chain costs two window-property lookups in the server (about 40 us, a
// hundred times the list box's own work), which made expanding 5,000 rows
// take seconds.

namespace grouplist {

namespace {

// A host is subclassed once, however many lists it holds.
struct HostRecord {
    WNDPROC previous = nullptr;
    std::vector<HWND> lists; // not owned
};

std::unordered_map<HWND, HostRecord>& Hosts()
{
    static std::unordered_map<HWND, HostRecord> hosts;
    return hosts;
}

LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM) noexcept;
LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM) noexcept;

LRESULT CallPrevious(const ListInstance& instance, HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(instance.previousListProc, list, message, wParam, lParam);
}

// Puts a window procedure back, unless someone subclassed the window after us.
void Unsubclass(HWND window, WNDPROC ours, WNDPROC previous)
{
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) == ours)
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

struct HitTest {
    int row = -1;
    bool onRow = false;
};

// The row under a mouse message's point. Below the last row LB_ITEMFROMPOINT
// may still name that row with 0 in its high word (Windows does, inside the
// client area), so the row's rectangle, bottom exclusive, decides.
HitTest RowAt(HWND list, LPARAM point)
{
    const auto result = static_cast<DWORD>(::SendMessageW(list, LB_ITEMFROMPOINT, 0, point));
    HitTest hit;
    hit.row = static_cast<int>(LOWORD(result));
    // The answer carries only 16 bits of the row. A row under the pointer is
    // at most a screenful below the top row, so the top row supplies the
    // high bits; the row's rectangle below confirms the result.
    if (::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0xFFFF) {
        const auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        hit.row |= top & ~0xFFFF;
        if (hit.row < top)
            hit.row += 0x10000;
    }
    RECT rect{};
    if (HIWORD(result) == 0 &&
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(hit.row), reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        hit.onRow = rect.top <= GET_Y_LPARAM(point) && GET_Y_LPARAM(point) < rect.bottom;
    return hit;
}

RECT RowRect(HWND list, int row)
{
    RECT rect{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// The 1-based position of the layout slot strictly containing the point
// (relative to the row), or 0; icon, when given, receives its icon number.
int IconSlotAt(const ListInstance& instance, const ItemRecord& item, const RECT& rowRect, int x, int y,
               int* icon = nullptr)
{
    const int rx = x - rowRect.left;
    const int ry = y - rowRect.top;
    const std::vector<ServiceIconSlot> slots =
        LayoutServiceIcons(instance.serviceIconCount, item, rowRect.bottom - rowRect.top, instance.dpi);
    for (size_t i = 0; i < slots.size(); ++i) {
        const RECT& r = slots[i].rect;
        if (r.left < rx && rx < r.right && r.top < ry && ry < r.bottom) {
            if (icon)
                *icon = slots[i].icon;
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

// Calls a host handler; false when the handler destroyed the list.
bool ReportAndCheckAlive(HWND list, const ListEventHandler& handler, int item, int x, int y)
{
    return base::CallAndCheckAlive(handler, [list] { return FindInstance(list) != nullptr; }, item, x, y);
}

// The icon slot under the pointer in a row, 0 when none. Mouse moves come
// often: only the two icon attributes are read, and only when the control
// has icons at all.
int SlotUnderPointer(const ListInstance& instance, int row, int x, int y)
{
    if (instance.serviceIconCount == 0)
        return 0;
    IXMLDOMElement* element = instance.document.Find(ItemAtRow(instance.list, row));
    if (!element)
        return 0;
    ItemRecord item;
    item.serviceIconCount = ItemDocument::Int(element, Attr::IconCount);
    if (item.serviceIconCount <= 0)
        return 0;
    item.serviceIcons = DecodeServiceIcons(ItemDocument::Text(element, Attr::Icons));
    return IconSlotAt(instance, item, RowRect(instance.list, row), x, y);
}

// Clears the hover row and reports it left. False when the handler destroyed the list.
bool LeaveHoverRow(HWND list, ListInstance& instance, int x, int y)
{
    const int previous = instance.hoverRow;
    const int left = ItemAtRow(list, previous);
    SetHoverRow(instance, -1);
    PaintRow(instance, previous, nullptr, 0);
    return ReportAndCheckAlive(list, instance.handlers.rowLeave, left, x, y);
}

void OnMouseMove(HWND list, ListInstance& instance, LPARAM point)
{
    (void)base::MouseLeaveTracker::Rearm(list);
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    const HitTest hit = RowAt(list, point);
    if (hit.onRow && instance.hoverRow != hit.row) {
        const int previous = instance.hoverRow;
        const int entered = ItemAtRow(list, hit.row);
        SetHoverRow(instance, hit.row);
        if (previous != -1) {
            const int left = ItemAtRow(list, previous);
            PaintRow(instance, previous, nullptr, 0);
            if (!ReportAndCheckAlive(list, instance.handlers.rowLeave, left, x, y))
                return;
        }
        // The leave handler may have moved the rows; the hover row follows
        // its item, and its icon highlight starts right, not from the last row.
        if (instance.hoverRow != -1)
            PaintRow(instance, instance.hoverRow, nullptr, SlotUnderPointer(instance, instance.hoverRow, x, y));
        (void)ReportAndCheckAlive(list, instance.handlers.rowEnter, entered, x, y);
    } else if (hit.onRow) {
        const int slot = SlotUnderPointer(instance, hit.row, x, y);
        if (slot != instance.hoveredServiceIcon)
            PaintRow(instance, hit.row, nullptr, slot);
    } else if (instance.hoverRow != -1) {
        (void)LeaveHoverRow(list, instance, x, y);
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
        (void)ReportAndCheckAlive(
            list, item.IsGroup() ? instance.handlers.groupDoubleClick : instance.handlers.entryDoubleClick, handle, x,
            y);
        return;
    }
    if (item.IsGroup()) {
        if (item.expanded)
            CollapseRows(instance, handle);
        else
            ExpandRows(instance, handle);
        ::SendMessageW(list, WM_LIST_PAINTROW, static_cast<WPARAM>(item.rowIndex), 0);
        (void)ReportAndCheckAlive(list, instance.handlers.groupClick, handle, x, y);
        return;
    }
    // Icons are hit where they lie whether or not the row's height draws them.
    int icon = 0;
    if (item.serviceIconCount > 0 && IconSlotAt(instance, item, RowRect(list, row), x, y, &icon) > 0) {
        (void)ReportAndCheckAlive(list, instance.handlers.serviceIconClick, handle, icon, 0);
        return;
    }
    (void)ReportAndCheckAlive(list, instance.handlers.entryClick, handle, x, y);
}

// The list box's own handling of a button message notifies the host
// (LBN_SELCHANGE, LBN_DBLCLK), which may change the rows or destroy the list;
// so the control acts after it, on the rows as they are then, and only while
// the instance still exists.
LRESULT OnLeftButtonUp(HWND list, ListInstance& instance, WPARAM wParam, LPARAM point)
{
    const LRESULT result = CallPrevious(instance, list, WM_LBUTTONUP, wParam, point);
    ListInstance* alive = FindInstance(list);
    if (!alive)
        return result;
    const HitTest hit = RowAt(list, point);
    const int row = hit.onRow ? hit.row : -1;
    alive->filter.followFirstMatch = false;
    if (alive->selectedRow != row) {
        for (int changed : MoveSelection(*alive, row))
            PaintRow(*alive, changed);
    }
    if (hit.onRow)
        OnRowClick(list, *alive, false, hit.row, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    return result;
}

// The host's answer to a key: true when it took it. alive turns false when
// its handler destroyed the list.
bool OfferKey(HWND list, const ListInstance& instance, UINT message, WPARAM code, bool& alive)
{
    const ListKeyHandler handler = instance.keyHandler; // a copy: it may replace itself
    bool taken = false;
    std::function<void()> ask;
    if (handler)
        ask = [&] { taken = handler(message, code); };
    alive = base::CallAndCheckAlive(ask, [list] { return FindInstance(list) != nullptr; });
    return taken;
}

// A selection the user moved stays where it was put, filter or not.
void SelectByKeyboard(ListInstance& instance, int row)
{
    if (row < 0 || row == instance.selectedRow)
        return;
    instance.filter.followFirstMatch = false;
    for (int changed : MoveSelection(instance, row))
        PaintRow(instance, changed);
}

int KeyboardTarget(const ListInstance& instance, WPARAM key)
{
    const int from = instance.selectedRow;
    switch (key) {
    case VK_UP:
        return NextKeyboardStop(instance, from, -1);
    case VK_DOWN:
        return NextKeyboardStop(instance, from, 1);
    case VK_HOME:
        return NextKeyboardStop(instance, -1, 1);
    case VK_END:
        return NextKeyboardStop(instance, -1, -1);
    default:
        break;
    }
    // A page: as many stops as entry rows fit in the list, less one kept in sight.
    RECT client{};
    ::GetClientRect(instance.list, &client);
    const int page = std::max(1, static_cast<int>(client.bottom) / instance.EntryRowHeight() - 1);
    const int step = key == VK_PRIOR ? -1 : 1;
    int row = from;
    for (int i = 0; i < page; ++i) {
        const int next = NextKeyboardStop(instance, row, step);
        if (next < 0)
            break;
        row = next;
    }
    return row;
}

// Expands or collapses a group for a key and reports it as a click at
// (-1, -1). An entry that loses its row hands the selection to its group's.
// False when the handler destroyed the list.
bool ToggleGroupByKeyboard(HWND list, ListInstance& instance, int group, bool expand)
{
    IXMLDOMElement* element = instance.document.Find(group);
    if (!element || ItemDocument::Flag(element, Attr::Expanded) == expand)
        return true;
    if (expand)
        ExpandRows(instance, group);
    else
        CollapseRows(instance, group);
    if (instance.selectedRow < 0)
        SelectByKeyboard(instance, ItemDocument::Int(element, Attr::RowIndex));
    return ReportAndCheckAlive(list, instance.handlers.groupClick, group, -1, -1);
}

LRESULT OnKeyDown(HWND list, ListInstance& instance, WPARAM key, LPARAM lParam)
{
    bool alive = true;
    if (OfferKey(list, instance, WM_KEYDOWN, key, alive) || !alive)
        return 0;
    const int selected = instance.selectedRow;
    const int group = GroupOfRow(instance, selected);
    const int item = selected >= 0 ? ItemAtRow(list, selected) : 0;
    const bool onGroup = group != 0 && group == item;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        SelectByKeyboard(instance, KeyboardTarget(instance, key));
        return 0;
    case VK_RIGHT:
        if (onGroup)
            (void)ToggleGroupByKeyboard(list, instance, group, true);
        return 0;
    case VK_LEFT:
        if (group != 0)
            (void)ToggleGroupByKeyboard(list, instance, group, false);
        return 0;
    case VK_RETURN:
        if (onGroup)
            (void)ToggleGroupByKeyboard(list, instance, group,
                                        !ItemDocument::Flag(instance.document.Find(group), Attr::Expanded));
        else if (item > 0)
            (void)ReportAndCheckAlive(list, instance.handlers.entryDoubleClick, item, -1, -1);
        return 0;
    default:
        return CallPrevious(instance, list, WM_KEYDOWN, key, lParam);
    }
}

// Apps or Shift+F10: the selection's menu, reported as a right-click at
// (-1, -1) with its row in sight, or the blank area's when nothing is selected.
void OnKeyboardContextMenu(HWND list, const ListInstance& instance)
{
    const int row = instance.selectedRow;
    const int handle = row >= 0 ? ItemAtRow(list, row) : 0;
    if (handle <= 0) {
        (void)ReportAndCheckAlive(list, instance.handlers.blankRightClick, 0, -1, -1);
        return;
    }
    (void)ScrollRowIntoView(list, row);
    const ListEventHandler& handler =
        IsGroup(instance.document, handle) ? instance.handlers.groupRightClick : instance.handlers.entryRightClick;
    (void)ReportAndCheckAlive(list, handler, handle, -1, -1);
}

// Whether the message ends a rename and hides the path tooltip: a press
// anywhere on the list, scrolling, or the keyboard in the list itself.
bool InterruptsHover(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return true;
    default:
        return false;
    }
}

LRESULT OnListMessage(HWND list, ListInstance& instance, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (InterruptsHover(message)) {
        CancelRename(instance);
        QuietTooltip(instance);
    }
    switch (message) {
    case WM_LIST_PAINTROW:
        PaintRow(instance, static_cast<int>(wParam));
        return 1;
    case WM_TIMER:
        if (wParam == kFlashTimerId) {
            OnFlashTimer(instance);
            return 0;
        }
        if (wParam == kBlinkTimerId) {
            OnBlinkTimer(instance);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(list, instance, lParam);
        if (FindInstance(list))
            RelayToTooltip(instance, message, wParam, lParam);
        break;
    case WM_SIZE: {
        const LRESULT result = CallPrevious(instance, list, message, wParam, lParam);
        if (ListInstance* alive = FindInstance(list))
            FollowRenamedItem(*alive);
        return result;
    }
    case WM_CONTEXTMENU: {
        if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) {
            OnKeyboardContextMenu(list, instance);
            return 0;
        }
        // A press on the rows was reported when it happened; the scroll bar
        // keeps its own menu.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        ::ScreenToClient(list, &point);
        ::GetClientRect(list, &client);
        if (::PtInRect(&client, point))
            return 0;
        break;
    }
    case WM_LBUTTONUP:
        return OnLeftButtonUp(list, instance, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(list, instance, wParam, lParam);
    case WM_CHAR:
    case WM_IME_CHAR: {
        bool alive = true;
        // The list box's type-ahead would move its selection off the
        // control's. An input method's character the host declines goes on
        // to come back as WM_CHAR.
        if (OfferKey(list, instance, message, wParam, alive) || !alive || message == WM_CHAR)
            return 0;
        break;
    }
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = CallPrevious(instance, list, message, wParam, lParam);
        if (ListInstance* alive = FindInstance(list)) {
            if (const HitTest hit = RowAt(list, lParam); hit.onRow)
                OnRowClick(list, *alive, true, hit.row, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        return result;
    }
    case WM_RBUTTONDOWN: {
        const HitTest hit = RowAt(list, lParam);
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        if (!hit.onRow) {
            if (!ReportAndCheckAlive(list, instance.handlers.blankRightClick, 0, x, y))
                return 0;
            break;
        }
        const LRESULT result = CallPrevious(instance, list, message, wParam, lParam);
        if (ListInstance* alive = FindInstance(list)) {
            // The row pressed is selected first, so its menu and the keys
            // after it act on the same item.
            alive->filter.followFirstMatch = false;
            if (alive->selectedRow != hit.row) {
                for (int changed : MoveSelection(*alive, hit.row))
                    PaintRow(*alive, changed);
            }
            const int handle = ItemAtRow(list, hit.row);
            const ListEventHandler& handler =
                IsGroup(alive->document, handle) ? alive->handlers.groupRightClick : alive->handlers.entryRightClick;
            (void)ReportAndCheckAlive(list, handler, handle, x, y);
        }
        return result;
    }
    case WM_MOUSELEAVE:
        if (instance.hoverRow != -1 && !LeaveHoverRow(list, instance, 0, 0))
            return 0;
        break;
    case WM_NCDESTROY: {
        ::KillTimer(list, kFlashTimerId);
        ::KillTimer(list, kBlinkTimerId);
        DestroyTooltip(instance);
        const WNDPROC previous = instance.previousListProc;
        Unsubclass(list, ListProc, previous);
        if (const auto host = Hosts().find(instance.host); host != Hosts().end())
            std::erase(host->second.lists, list);
        RemoveInstance(list); // takes the instance with it
        return ::CallWindowProcW(previous, list, message, wParam, lParam);
    }
    default:
        break;
    }
    // A handler may have destroyed the window, and the instance with it.
    if (!FindInstance(list))
        return 0;
    return CallPrevious(instance, list, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    ListInstance* instance = FindInstance(list);
    if (!instance)
        return ::DefWindowProcW(list, message, wParam, lParam);
    try {
        return OnListMessage(list, *instance, message, wParam, lParam);
    } catch (...) {
        // Out of memory while reading items or painting: the message is
        // dropped rather than handed on twice.
        return 0;
    }
}

bool OwnsList(const HostRecord& record, HWND list)
{
    return std::find(record.lists.begin(), record.lists.end(), list) != record.lists.end();
}

LRESULT OnHostMessage(HWND host, HostRecord& record, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ListInstance* instance = draw->CtlType == ODT_LISTBOX && OwnsList(record, draw->hwndItem)
                                     ? FindInstance(draw->hwndItem)
                                     : nullptr;
        if (!instance)
            break;
        const RowTarget target{draw->hDC, draw->rcItem, static_cast<int>(draw->itemData)};
        PaintRow(*instance, static_cast<int>(draw->itemID), &target);
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_LISTBOX || HeightOfRowBeingAdded() <= 0)
            break;
        measure->itemHeight = static_cast<UINT>(HeightOfRowBeingAdded());
        return TRUE;
    }
    case WM_SIZE: {
        const LRESULT result = ::CallWindowProcW(record.previous, host, message, wParam, lParam);
        RECT client{};
        ::GetClientRect(host, &client);
        // The record may have changed while the previous procedure ran.
        if (const auto found = Hosts().find(host); found != Hosts().end()) {
            for (HWND list : std::vector<HWND>(found->second.lists))
                ::MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
        }
        return result;
    }
    case WM_CTLCOLORLISTBOX: {
        const auto list = reinterpret_cast<HWND>(lParam);
        if (OwnsList(record, list)) {
            if (const ListInstance* instance = FindInstance(list))
                return reinterpret_cast<LRESULT>(instance->backgroundBrush.get());
        }
        break;
    }
    case WM_NCDESTROY: {
        const WNDPROC previous = record.previous;
        Hosts().erase(host);
        Unsubclass(host, HostProc, previous);
        return ::CallWindowProcW(previous, host, message, wParam, lParam);
    }
    default:
        break;
    }
    return ::CallWindowProcW(record.previous, host, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    const auto found = Hosts().find(host);
    if (found == Hosts().end())
        return ::DefWindowProcW(host, message, wParam, lParam);
    try {
        return OnHostMessage(host, found->second, message, wParam, lParam);
    } catch (...) {
        return 0; // as in the list's procedure
    }
}

} // namespace

bool InstallWindowProcs(ListInstance& instance)
{
    instance.previousListProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(instance.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    if (!instance.previousListProc)
        return false;
    auto [host, added] = Hosts().try_emplace(instance.host);
    if (added) {
        host->second.previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(instance.host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostProc)));
        if (!host->second.previous) {
            Hosts().erase(host);
            Unsubclass(instance.list, ListProc, instance.previousListProc);
            return false;
        }
    }
    host->second.lists.push_back(instance.list);
    return true;
}

} // namespace grouplist
