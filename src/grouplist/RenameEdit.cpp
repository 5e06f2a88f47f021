#include "grouplist/RenameEdit.h"

#include "base/CallHandler.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ListRows.h"
#include "grouplist/ListTooltip.h"
#include "grouplist/RowPainter.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <utility>

// The edit is subclassed with SetWindowSubclass: it gets few messages, unlike
// the list, whose procedure is replaced for speed.

namespace grouplist {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kEditId = 1;

// The list's instance while this edit is its rename's, else null.
ListInstance* Owner(HWND list, HWND edit)
{
    ListInstance* instance = FindInstance(list);
    return instance && instance->rename.edit == edit ? instance : nullptr;
}

int LineHeight(const ListInstance& instance)
{
    const base::WindowDc dc(instance.list);
    const base::SelectGuard font(dc.get(), instance.listFont.get());
    TEXTMETRICW metrics{};
    return ::GetTextMetricsW(dc.get(), &metrics) ? static_cast<int>(metrics.tmHeight) : instance.Px(12);
}

// Over the name in the row, in the list's client coordinates: the name's
// line with a border and a pixel of room around it, as wide as the name's
// box. False when the row is not wholly in sight.
bool PlaceEdit(const ListInstance& instance, int row, RECT& place)
{
    RECT rowRect{};
    RECT client{};
    if (::SendMessageW(instance.list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rowRect)) ==
        LB_ERR)
        return false;
    ::GetClientRect(instance.list, &client);
    if (rowRect.top < 0 || rowRect.bottom > client.bottom)
        return false;
    const int width = rowRect.right - rowRect.left;
    const int height = rowRect.bottom - rowRect.top;
    const bool group = IsGroup(instance.document, ItemAtRow(instance.list, row));
    const NamePlace name = PlaceName(instance, group, width, height);
    const int line = LineHeight(instance);
    const int room = 2; // the border and a pixel
    const int textTop = name.Centred() ? (name.rect.top + name.rect.bottom - line) / 2 : name.rect.top;
    const int editHeight = std::min(line + 2 * room, height);
    const int top = std::clamp(textTop - room, 0, height - editHeight);
    const int left = std::max(0, static_cast<int>(name.rect.left) - room - instance.Px(1));
    const int right = std::max(static_cast<int>(name.rect.right), left + instance.Px(40));
    place = {rowRect.left + left, rowRect.top + top, rowRect.left + std::min(right, width),
             rowRect.top + top + editHeight};
    return true;
}

void Close(ListInstance& instance)
{
    RenameState& rename = instance.rename;
    HWND edit = std::exchange(rename.edit, nullptr);
    rename.item = 0;
    rename.onCommit = nullptr;
    rename.closeOwed = false;
    if (!edit)
        return;
    // The keyboard goes back to the list rather than to nowhere.
    if (::GetFocus() == edit)
        ::SetFocus(instance.list);
    ::DestroyWindow(edit);
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Enter: the host decides. The edit lives until its handler returns, whatever
// the handler does to the rows meanwhile; the handler may even destroy the list.
void Commit(HWND list, HWND edit)
{
    ListInstance* instance = Owner(list, edit);
    if (!instance || instance->rename.committing)
        return;
    const RenameHandler handler = instance->rename.onCommit; // a copy: it may be replaced while it runs
    const int item = instance->rename.item;
    const std::wstring text = WindowText(edit);
    bool accepted = !handler;
    std::function<void()> ask;
    if (handler)
        ask = [&] { accepted = handler(item, text); };
    instance->rename.committing = true;
    if (!base::CallAndCheckAlive(ask, [list] { return FindInstance(list) != nullptr; }))
        return;
    instance = FindInstance(list);
    instance->rename.committing = false;
    if (instance->rename.edit != edit) {
        Close(*instance); // the edit was destroyed meanwhile
        return;
    }
    if (accepted || instance->rename.closeOwed) {
        Close(*instance);
        return;
    }
    // Refused: the user corrects the name where it is.
    FollowRenamedItem(*instance);
    if (instance->rename.edit == edit) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
    }
}

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept
{
    const auto list = reinterpret_cast<HWND>(data);
    try {
        switch (message) {
        case WM_GETDLGCODE:
            // Enter and Esc are the edit's, also where a dialog manager routes the keys.
            return ::DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                Commit(list, edit);
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                if (ListInstance* instance = Owner(list, edit))
                    CancelRename(*instance);
                return 0;
            }
            break;
        case WM_CHAR:
            // Taken as keys above; as characters a one-line edit would only beep.
            if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B)
                return 0;
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
            // A message box the handler shows takes the keyboard for a while.
            if (ListInstance* instance = Owner(list, edit); instance && !instance->rename.committing)
                CancelRename(*instance);
            return result;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(edit, EditProc, kSubclassId);
            // Destroyed with the list, or by someone else: the rename is over.
            if (ListInstance* instance = Owner(list, edit)) {
                instance->rename.edit = nullptr;
                if (!instance->rename.committing)
                    Close(*instance);
            }
            break;
        default:
            break;
        }
        return ::DefSubclassProc(edit, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

} // namespace

bool BeginRename(ListInstance& instance, int handle, const std::wstring& text, RenameHandler onCommit)
{
    if (instance.rename.committing)
        return false;
    CancelRename(instance);
    const int row = RowOfItem(instance, handle);
    if (row < 0)
        return false;
    (void)ScrollRowIntoView(instance.list, row);
    RECT place{};
    if (!PlaceEdit(instance, row, place))
        return false;
    QuietTooltip(instance);
    HWND edit = ::CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL,
                                  place.left, place.top, place.right - place.left, place.bottom - place.top,
                                  instance.list, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        return false;
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(instance.listFont.get()), FALSE);
    ::SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(instance.Px(1), instance.Px(1)));
    if (!::SetWindowSubclass(edit, EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(instance.list))) {
        ::DestroyWindow(edit);
        return false;
    }
    instance.rename.edit = edit;
    instance.rename.item = handle;
    instance.rename.onCommit = std::move(onCommit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::ShowWindow(edit, SW_SHOW);
    ::SetFocus(edit);
    return true;
}

void CancelRename(ListInstance& instance)
{
    if (instance.rename.committing)
        instance.rename.closeOwed = true;
    else
        Close(instance);
}

void FollowRenamedItem(ListInstance& instance)
{
    const RenameState& rename = instance.rename;
    if (!rename.edit)
        return;
    const int row = RowOfItem(instance, rename.item);
    RECT place{};
    if (row >= 0 && PlaceEdit(instance, row, place)) {
        ::SetWindowPos(rename.edit, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CancelRename(instance);
}

} // namespace grouplist
