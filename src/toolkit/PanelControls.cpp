#include "toolkit/PanelControls.h"

#include "base/Dpi.h"

#include <commctrl.h>

#include <iterator>
#include <string_view>

namespace toolkit {

namespace {

constexpr wchar_t kFontFace[] = L"微软雅黑";
constexpr COLORREF kStatusColour = RGB(0xB0, 0x00, 0x00);
// Room for the choices when a combo box drops down.
constexpr int kComboListHeight = 200;
constexpr wchar_t kPageSeparator = L'|';

[[nodiscard]] base::UniqueFont MakeFont(const FontStyle& style, int dpi)
{
    return base::UniqueFont(::CreateFontW(-base::Scaled(style.pixels, dpi), 0, 0, 0, style.weight, FALSE, FALSE, FALSE,
                                          GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
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
        return {WC_STATICW, 0, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX};
    case ControlKind::Status:
        return {WC_STATICW, 0, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS};
    case ControlKind::Line:
        return {WC_STATICW, 0, SS_ETCHEDHORZ};
    case ControlKind::Edit:
        return {WC_EDITW, WS_EX_CLIENTEDGE, kStop | ES_AUTOHSCROLL};
    case ControlKind::Combo:
        return {WC_COMBOBOXW, 0, kStop | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL};
    case ControlKind::List:
        return {WC_LISTBOXW, WS_EX_CLIENTEDGE, kStop | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT};
    case ControlKind::Button:
        return {WC_BUTTONW, 0, kStop | BS_PUSHBUTTON | BS_NOTIFY};
    case ControlKind::DefaultButton:
        return {WC_BUTTONW, 0, kStop | BS_DEFPUSHBUTTON | BS_NOTIFY};
    case ControlKind::Radio:
        return {WC_BUTTONW, 0, kStop | BS_RADIOBUTTON};
    case ControlKind::Tab:
        // Below the pages' controls, which it must not paint over.
        return {WC_TABCONTROLW, 0, kStop | WS_CLIPSIBLINGS};
    }
    return {WC_STATICW, 0, 0};
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

// A tab control's row text: its pages as tabs, its first page's name as
// its own text.
[[nodiscard]] bool AddTabPages(HWND tab, std::wstring_view pages)
{
    for (int page = 0;; ++page) {
        const size_t end = pages.find(kPageSeparator);
        std::wstring name(pages.substr(0, end));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = name.data();
        if (::SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item)) != page)
            return false;
        if (end == std::wstring_view::npos)
            return true;
        pages.remove_prefix(end + 1);
    }
}

} // namespace

PanelFonts PanelFonts::Make(const FontScheme& scheme, int dpi)
{
    PanelFonts fonts;
    const FontStyle styles[] = {scheme.captions, scheme.entries, scheme.radios};
    HFONT* const roles[] = {&fonts.m_captions, &fonts.m_entries, &fonts.m_radios};
    for (size_t i = 0; i < std::size(styles); ++i) {
        for (size_t earlier = 0; earlier < i && !*roles[i]; ++earlier) {
            if (styles[earlier] == styles[i])
                *roles[i] = *roles[earlier];
        }
        if (!*roles[i]) {
            fonts.m_owned[i] = MakeFont(styles[i], dpi);
            *roles[i] = fonts.m_owned[i].get();
        }
    }
    return fonts;
}

HFONT PanelFonts::For(ControlKind kind) const noexcept
{
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::Combo:
    case ControlKind::List:
    case ControlKind::Status:
        return m_entries;
    case ControlKind::Radio:
        return m_radios;
    case ControlKind::Line:
        return nullptr;
    default:
        return m_captions;
    }
}

bool MakeControls(HWND parent, std::span<const ControlPlace> controls)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const ControlPlace& place : controls) {
        const KindStyle kind = StyleOf(place.kind);
        const std::wstring_view text = place.text;
        const std::wstring title(place.kind == ControlKind::Tab ? text.substr(0, text.find(kPageSeparator)) : text);
        HWND control = ::CreateWindowExW(kind.exStyle, kind.cls, title.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0,
                                         0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                         instance, nullptr);
        if (!control)
            return false;
        if (place.kind == ControlKind::Button || place.kind == ControlKind::DefaultButton)
            ::SetWindowSubclass(control, &PushButtonProc, 0, 0);
        if (place.kind == ControlKind::Tab && !AddTabPages(control, text))
            return false;
    }
    return true;
}

void PlaceControls(HWND parent, const ControlSection& section, const PanelFonts& fonts, int dpi)
{
    for (const ControlPlace& place : section.controls) {
        HWND control = ::GetDlgItem(parent, place.id);
        if (!control)
            continue;
        // Set even when null (the system font): the old one is about to go.
        if (place.kind != ControlKind::Line)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(place.kind)), FALSE);
        // Scaled where it stands in the window, so boxes that line up at
        // 96 DPI still line up.
        const POINT at96{section.origin.x + place.x, section.origin.y + place.y};
        const RECT at = base::ScaledRect({at96.x, at96.y, at96.x + place.width, at96.y + place.height}, dpi);
        const int height = at.bottom - at.top;
        ::SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left,
                       place.kind == ControlKind::Combo ? height + base::Scaled(kComboListHeight, dpi) : height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (place.kind == ControlKind::Combo)
            SetClosedHeight(control, height);
    }
}

bool ShowTabPage(HWND tab, int page)
{
    if (!tab || page < 0 || page >= static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)))
        return false;
    if (::SendMessageW(tab, TCM_GETCURSEL, 0, 0) != page)
        ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    wchar_t name[64]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = name;
    item.cchTextMax = static_cast<int>(std::size(name));
    if (::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item)))
        ::SetWindowTextW(tab, item.pszText); // the control may answer with a text of its own
    return true;
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

bool IsFocusNotification(HWND control, int code) noexcept
{
    if (!control)
        return false;
    // The codes mean other things from other kinds of control.
    wchar_t kind[16]{};
    ::GetClassNameW(control, kind, 16);
    if (::lstrcmpiW(kind, WC_BUTTONW) == 0)
        return code == BN_SETFOCUS || code == BN_KILLFOCUS;
    if (::lstrcmpiW(kind, WC_EDITW) == 0)
        return code == EN_SETFOCUS || code == EN_KILLFOCUS;
    if (::lstrcmpiW(kind, WC_COMBOBOXW) == 0)
        return code == CBN_SETFOCUS || code == CBN_KILLFOCUS;
    if (::lstrcmpiW(kind, WC_LISTBOXW) == 0)
        return code == LBN_SETFOCUS || code == LBN_KILLFOCUS;
    return false;
}

LRESULT StatusColours(HDC dc) noexcept
{
    ::SetTextColor(dc, kStatusColour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

} // namespace toolkit
