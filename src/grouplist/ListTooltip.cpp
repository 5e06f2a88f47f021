#include "grouplist/ListTooltip.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace grouplist {

namespace {

using Doc = ItemDocument;

constexpr UINT_PTR kToolId = 1;
// Long paths wrap rather than run across the screen.
constexpr int kMaxTipWidth = 360;

TTTOOLINFOW ToolInfo(const ListInstance& instance)
{
    TTTOOLINFOW tool{};
    // The size every version of the common controls takes.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = instance.list;
    tool.uId = kToolId;
    return tool;
}

bool MakeTooltip(ListInstance& instance)
{
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES}; // tabs and tooltips
    ::InitCommonControlsEx(&classes);
    HWND owner = ::GetAncestor(instance.list, GA_ROOT);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return false;
    TTTOOLINFOW tool = ToolInfo(instance);
    tool.lpszText = const_cast<wchar_t*>(L"");
    if (!::SendMessageW(window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        ::DestroyWindow(window);
        return false;
    }
    instance.tooltip.window = window;
    ScaleTooltip(instance);
    return true;
}

} // namespace

void TooltipFollowHover(ListInstance& instance)
{
    TooltipState& tip = instance.tooltip;
    if (tip.quietItem != 0 && tip.quietItem != instance.hoverItem)
        tip.quietItem = 0;
    int item = 0;
    RECT rect{};
    const bool wanted = !tip.suspended && instance.hoverRow >= 0 && instance.hoverItem != tip.quietItem &&
                        instance.index.FindEntry(instance.hoverItem);
    if (wanted) {
        item = instance.hoverItem;
        ::SendMessageW(instance.list, LB_GETITEMRECT, static_cast<WPARAM>(instance.hoverRow),
                       reinterpret_cast<LPARAM>(&rect));
    }
    if (item == tip.item && ::EqualRect(&rect, &tip.rect))
        return;
    std::wstring path;
    if (item != 0 && item != tip.item) {
        path = Doc::Text(instance.document.Find(item), Attr::Signature);
        if (path.empty()) {
            item = 0;
            rect = {};
        }
    }
    if (!tip.window && (item == 0 || !MakeTooltip(instance)))
        return;
    ::SendMessageW(tip.window, TTM_POP, 0, 0);
    TTTOOLINFOW tool = ToolInfo(instance);
    tool.rect = rect;
    ::SendMessageW(tip.window, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (item != tip.item && item != 0) {
        tool.lpszText = path.data();
        ::SendMessageW(tip.window, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tip.item = item;
    tip.rect = rect;
}

void RelayToTooltip(const ListInstance& instance, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!instance.tooltip.window || instance.tooltip.item == 0)
        return;
    MSG relayed{instance.list, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD position = ::GetMessagePos();
    relayed.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::SendMessageW(instance.tooltip.window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void QuietTooltip(ListInstance& instance)
{
    TooltipState& tip = instance.tooltip;
    if (!tip.window)
        return;
    ::SendMessageW(tip.window, TTM_POP, 0, 0);
    tip.quietItem = instance.hoverItem;
    TooltipFollowHover(instance);
}

void SuspendTooltip(ListInstance& instance, bool suspend)
{
    TooltipState& tip = instance.tooltip;
    tip.suspended = suspend;
    if (tip.window) {
        ::SendMessageW(tip.window, TTM_POP, 0, 0);
        ::SendMessageW(tip.window, TTM_ACTIVATE, suspend ? FALSE : TRUE, 0);
    }
    TooltipFollowHover(instance);
}

void ScaleTooltip(const ListInstance& instance)
{
    if (instance.tooltip.window)
        ::SendMessageW(instance.tooltip.window, TTM_SETMAXTIPWIDTH, 0, instance.Px(kMaxTipWidth));
}

void DestroyTooltip(ListInstance& instance) noexcept
{
    // Its owner may have taken it already.
    if (instance.tooltip.window && ::IsWindow(instance.tooltip.window))
        ::DestroyWindow(instance.tooltip.window);
    instance.tooltip = {};
}

} // namespace grouplist
