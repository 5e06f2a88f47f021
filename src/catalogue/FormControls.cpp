#include "catalogue/FormControls.h"

#include <commctrl.h>

#include <utility>

namespace catalogue {

namespace {

constexpr wchar_t kFontFace[] = L"微软雅黑";
constexpr int kFontPixels = 14;
constexpr int kRadioFontPixels = 16;
constexpr COLORREF kStatusColour = RGB(0xB0, 0x00, 0x00);
// Room for the groups when a combo box drops down.
constexpr int kComboListHeight = 200;

// The dialog frame leaves the caption without an icon: a close box only.
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

[[nodiscard]] base::UniqueFont MakeFont(int pixels, int weight)
{
    return base::UniqueFont(::CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                          DEFAULT_PITCH | FF_DONTCARE, kFontFace));
}

struct KindStyle {
    const wchar_t* cls;
    DWORD exStyle;
    DWORD style;
};

[[nodiscard]] KindStyle StyleOf(ControlKind kind) noexcept
{
    // Every control that takes the focus starts a group of its own: arrow
    // keys never wander into the next section.
    constexpr DWORD kStop = WS_TABSTOP | WS_GROUP;
    switch (kind) {
    case ControlKind::Label:
        return {L"STATIC", 0, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX};
    case ControlKind::Status:
        return {L"STATIC", 0, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS};
    case ControlKind::Line:
        return {L"STATIC", 0, SS_ETCHEDHORZ};
    case ControlKind::Edit:
        return {L"EDIT", WS_EX_CLIENTEDGE, kStop | ES_AUTOHSCROLL};
    case ControlKind::Button:
        return {L"BUTTON", 0, kStop | BS_PUSHBUTTON | BS_NOTIFY};
    case ControlKind::DefaultButton:
        return {L"BUTTON", 0, kStop | BS_DEFPUSHBUTTON | BS_NOTIFY};
    case ControlKind::Radio:
        // Not an automatic radio button: its owner decides what a click does.
        return {L"BUTTON", 0, kStop | BS_RADIOBUTTON};
    case ControlKind::Combo:
        return {L"COMBOBOX", 0, kStop | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL};
    }
    return {L"STATIC", 0, 0};
}

[[nodiscard]] HFONT FontOf(ControlKind kind, const FormFonts& fonts) noexcept
{
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::Combo:
    case ControlKind::Status:
        return fonts.regular.get();
    case ControlKind::Radio:
        return fonts.radio.get();
    case ControlKind::Line:
        return nullptr;
    default:
        return fonts.bold.get();
    }
}

// A combo box is made with the height of its open list; the closed box
// then takes its height from its selection field.
void SetClosedHeight(HWND combo, int height) noexcept
{
    LRESULT field = ::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    // Measured again after each try: Wine reads the field back two pixels
    // taller than it was set.
    for (int attempt = 0; attempt < 3 && field != CB_ERR; ++attempt) {
        RECT rect{};
        ::GetWindowRect(combo, &rect);
        const int difference = height - (rect.bottom - rect.top);
        if (difference == 0 || field + difference <= 0)
            return;
        field += difference;
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

[[nodiscard]] bool IsPushType(WPARAM style) noexcept
{
    const auto type = static_cast<DWORD>(style & BS_TYPEMASK);
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Wine's dialog manager makes every push button plain once the Tab key has
// moved the focus to a field, and Windows asks DM_GETDEFID there: either
// way the parent's answer is the look.
LRESULT CALLBACK PushButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR) noexcept
{
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(button, &PushButtonProc, id);
    } else if (message == BM_SETSTYLE && IsPushType(wParam)) {
        const LRESULT answer = ::SendMessageW(::GetParent(button), DM_GETDEFID, 0, 0);
        const bool isDefault = HIWORD(answer) == DC_HASDEFID && LOWORD(answer) == ::GetDlgCtrlID(button);
        wParam = (wParam & 0xFFFF & ~static_cast<WPARAM>(BS_TYPEMASK)) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        // Unchanged: no redraw.
        if (wParam == (static_cast<WPARAM>(::GetWindowLongPtrW(button, GWL_STYLE)) & 0xFFFF))
            return 0;
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

[[nodiscard]] bool IsFocusNotification(HWND control, int notification) noexcept
{
    // The codes mean other things from other kinds of control.
    wchar_t kind[16]{};
    ::GetClassNameW(control, kind, 16);
    if (::lstrcmpiW(kind, WC_BUTTONW) == 0)
        return notification == BN_SETFOCUS || notification == BN_KILLFOCUS;
    if (::lstrcmpiW(kind, WC_EDITW) == 0)
        return notification == EN_SETFOCUS || notification == EN_KILLFOCUS;
    if (::lstrcmpiW(kind, WC_COMBOBOXW) == 0)
        return notification == CBN_SETFOCUS || notification == CBN_KILLFOCUS;
    return false;
}

} // namespace

FormFonts FormFonts::Make(int dpi)
{
    return {MakeFont(base::Scaled(kFontPixels, dpi), FW_BOLD), MakeFont(base::Scaled(kFontPixels, dpi), FW_NORMAL),
            MakeFont(base::Scaled(kRadioFontPixels, dpi), FW_BOLD)};
}

bool MakeControls(HWND parent, std::span<const ControlPlace> controls)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const ControlPlace& place : controls) {
        const KindStyle kind = StyleOf(place.kind);
        HWND control = ::CreateWindowExW(kind.exStyle, kind.cls, place.text, WS_CHILD | WS_VISIBLE | kind.style, 0,
                                         0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                         instance, nullptr);
        if (!control)
            return false;
        if (place.kind == ControlKind::Button || place.kind == ControlKind::DefaultButton)
            ::SetWindowSubclass(control, &PushButtonProc, 0, 0);
    }
    return true;
}

void PlaceControls(HWND parent, std::span<const ControlPlace> controls, POINT origin, const FormFonts& fonts,
                   int dpi)
{
    for (const ControlPlace& place : controls) {
        HWND control = ::GetDlgItem(parent, place.id);
        if (!control)
            continue;
        // Set even when null (the system font): the old one is about to go.
        if (place.kind != ControlKind::Line)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(place.kind, fonts)), FALSE);
        // Scaled where it stands in the window, so boxes that line up at
        // 96 DPI still line up.
        const POINT at96{origin.x + place.x, origin.y + place.y};
        const RECT at = base::ScaledRect({at96.x, at96.y, at96.x + place.width, at96.y + place.height}, dpi);
        const int height = at.bottom - at.top;
        ::SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left,
                       place.kind == ControlKind::Combo ? height + base::Scaled(kComboListHeight, dpi) : height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (place.kind == ControlKind::Combo)
            SetClosedHeight(control, height);
    }
}

std::wstring TextOf(HWND window)
{
    const int length = window ? ::GetWindowTextLengthW(window) : 0;
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

bool IsPushButton(HWND window) noexcept
{
    return window && (::SendMessageW(window, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

LRESULT StatusColours(HDC dc) noexcept
{
    ::SetTextColor(dc, kStatusColour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

bool FormWindow::CreateForm(const wchar_t* className, const wchar_t* title, HWND owner, SIZE designSize)
{
    const int dpi = CreateScaledPopup({.name = className, .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
                                      {.exStyle = kFormExStyle, .title = title, .style = kFormStyle, .parent = owner},
                                      designSize);
    if (!dpi)
        return false;
    m_dpi = dpi;
    return true;
}

void FormWindow::LayOut()
{
    FormFonts fonts = FormFonts::Make(m_dpi);
    PlaceContent(fonts);
    // Only now that no control uses them.
    m_fonts = std::move(fonts);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT FormWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    m_dpi = TakeSuggestedDpiRect(wParam, lParam);
    LayOut();
    return 0;
}

LRESULT FormWindow::DefaultButtonId() const noexcept
{
    HWND button = DefaultButton();
    return button ? MAKELRESULT(::GetDlgCtrlID(button), DC_HASDEFID) : 0;
}

void FormWindow::FollowFocus(HWND control, int notification) const noexcept
{
    if (!control || !IsFocusNotification(control, notification))
        return;
    // Each push button takes the look its DM_GETDEFID answer gives it.
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (IsPushButton(child))
            ::SendMessageW(child, BM_SETSTYLE, static_cast<WPARAM>(::GetWindowLongPtrW(child, GWL_STYLE)) & 0xFFFF,
                           TRUE);
    }
}

void FormWindow::PressDefaultButton() const noexcept
{
    HWND button = DefaultButton();
    if (button && ::IsWindowEnabled(button))
        ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
}

} // namespace catalogue
