#include "toolkit/Panel.h"

#include <commctrl.h>

#include <utility>

namespace toolkit {

namespace {

// The dialog frame leaves the caption without an icon: a close box only.
constexpr DWORD kPanelStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPanelExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

} // namespace

Panel::~Panel()
{
    // Destroyed here, while the fonts still exist; a derived panel whose own
    // handlers must see it goes first.
    Close();
}

bool Panel::CreatePanel(HWND owner, const PanelDesign& design)
{
    m_design = design;
    const int dpi = CreateScaledPopup(
        {.name = design.className, .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {.exStyle = kPanelExStyle | (design.topmost ? WS_EX_TOPMOST : 0),
         .title = design.title,
         .style = kPanelStyle,
         .parent = owner},
        design.size);
    if (!dpi)
        return false;
    m_dpi = dpi;
    for (const ControlSection& section : design.sections) {
        if (!MakeControls(Handle(), section.controls)) {
            ::DestroyWindow(Handle());
            return false;
        }
    }
    LayOut();
    ShowPage(0);
    return true;
}

void Panel::RunModal(HWND owner, const std::function<bool()>& create)
{
    // An owner someone else has disabled stays as it was found.
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        m_disabledOwner = owner;
    }
    if (!create()) {
        ReleaseOwner();
        return;
    }
    MSG msg{};
    while (Handle()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: its own loop must see the quit too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!::IsDialogMessageW(Handle(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    Close();
}

void Panel::Close()
{
    // Enabled before the panel goes, so Windows hands activation back to
    // the owner instead of some other program.
    ReleaseOwner();
    if (Handle())
        ::DestroyWindow(Handle());
}

void Panel::ReleaseOwner() noexcept
{
    if (m_disabledOwner)
        ::EnableWindow(m_disabledOwner, TRUE);
    m_disabledOwner = nullptr;
}

void Panel::LayOut()
{
    PanelFonts fonts = PanelFonts::Make(m_design.fonts, m_dpi);
    for (const ControlSection& section : m_design.sections)
        PlaceControls(Handle(), section, fonts, m_dpi);
    // Only now that no control uses them.
    m_fonts = std::move(fonts);
    OnLaidOut();
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Panel::ShowPage(int page)
{
    if (!ShowTabPage(FirstOfKind(ControlKind::Tab), page))
        return;
    for (const ControlSection& section : m_design.sections) {
        if (section.page == kEveryPage)
            continue;
        for (const ControlPlace& place : section.controls)
            ::ShowWindow(Item(place.id), section.page == page ? SW_SHOWNA : SW_HIDE);
    }
    // Hidden controls cannot keep the keyboard.
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(Handle(), focus) && !::IsWindowVisible(focus))
        ::SetFocus(FirstOfKind(ControlKind::Tab));
}

const ControlPlace* Panel::RowOf(HWND control) const noexcept
{
    if (!control || !Handle() || ::GetParent(control) != Handle())
        return nullptr;
    const int id = ::GetDlgCtrlID(control);
    for (const ControlSection& section : m_design.sections) {
        for (const ControlPlace& place : section.controls) {
            if (place.id == id)
                return &place;
        }
    }
    return nullptr;
}

HWND Panel::FirstOfKind(ControlKind kind) const noexcept
{
    for (const ControlSection& section : m_design.sections) {
        for (const ControlPlace& place : section.controls) {
            if (place.kind == kind)
                return Item(place.id);
        }
    }
    return nullptr;
}

HWND Panel::DefaultButton() const noexcept
{
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(Handle(), focus) && IsPushButton(focus))
        return focus;
    return FirstOfKind(ControlKind::DefaultButton);
}

void Panel::PressDefaultButton() const noexcept
{
    HWND button = DefaultButton();
    if (button && ::IsWindowEnabled(button))
        ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
}

void Panel::FollowFocus() const noexcept
{
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (IsPushButton(child))
            ::SendMessageW(child, BM_SETSTYLE, static_cast<WPARAM>(::GetWindowLongPtrW(child, GWL_STYLE)) & 0xFFFF,
                           TRUE);
    }
}

void Panel::OnCommand(int id, int code, HWND control)
{
    if (id == IDCANCEL) { // Escape
        Close();
        return;
    }
    if (id == IDOK) { // Enter, should the default button not be asked for
        OnEnter();
        return;
    }
    if (IsFocusNotification(control, code))
        FollowFocus();
    if (code == BN_CLICKED)
        OnClicked(id);
    else
        OnNotified(id, code);
}

LRESULT Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != TCN_SELCHANGE || header->hwndFrom != FirstOfKind(ControlKind::Tab))
            return Default(message, wParam, lParam);
        ShowPage(static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case DM_GETDEFID: {
        HWND button = DefaultButton();
        return button ? MAKELRESULT(::GetDlgCtrlID(button), DC_HASDEFID) : 0;
    }
    case WM_CTLCOLORSTATIC: {
        const ControlPlace* row = RowOf(reinterpret_cast<HWND>(lParam));
        if (row && row->kind == ControlKind::Status)
            return StatusColours(reinterpret_cast<HDC>(wParam));
        return Default(message, wParam, lParam);
    }
    case WM_DPICHANGED:
        m_dpi = TakeSuggestedDpiRect(wParam, lParam);
        LayOut();
        return 0;
    case WM_ACTIVATE:
        m_focus.OnActivate(Handle(), wParam);
        return Default(message, wParam, lParam);
    case WM_SETFOCUS:
        m_focus.OnSetFocus(Handle(), m_design.firstFocus ? Item(m_design.firstFocus) : nullptr);
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        // Closed some other way (its owner went first): never leave the
        // owner disabled.
        ReleaseOwner();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void Panel::OnDestroyed()
{
    m_focus.Forget();
}

} // namespace toolkit
