#include "catalogue/ManagePanel.h"

#include <commctrl.h>

#include <iterator>
#include <span>

namespace catalogue {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryManagePanel";

// Ids clear of IDOK and IDCANCEL, which the dialog manager sends for
// Enter and Escape; the form's number is added to each base.
constexpr int kLabelId = 100;
constexpr int kEditId = 200;
constexpr int kButtonId = 300;
constexpr int kRadioId = 400;
constexpr int kLineId = 501;
constexpr int kComboId = 601;
constexpr int kStatusId = 701;
constexpr int kTabId = 801;

constexpr int kApplyButton = 3;
constexpr int kAddGroupButton = 1;
constexpr int kAddShortcutButton = 5;
constexpr RECT kTabPlace{13, 12, 13 + 520, 12 + 304};

using Kind = ControlKind;
// Places on the pages are relative to the tab control's top left corner.
constexpr ControlPlace kAddPage[] = {
    {Kind::Radio, kRadioId + 1, L"添加目录", 19, 41, 112, 24},
    {Kind::Label, kLabelId + 2, L"目录名称：", 39, 85, 80, 24},
    {Kind::Edit, kEditId + 1, L"", 119, 85, 168, 24},
    {Kind::Button, kButtonId + 1, L"确定添加", 372, 84, 72, 24},
    {Kind::Line, kLineId, L"", 23, 120, 470, 2},
    {Kind::Radio, kRadioId + 2, L"添加文件", 19, 131, 112, 24},
    {Kind::Label, kLabelId + 4, L"文件名称：", 40, 165, 80, 24},
    {Kind::Edit, kEditId + 2, L"", 120, 165, 168, 24},
    {Kind::Label, kLabelId + 5, L"文件地址：", 40, 197, 80, 24},
    {Kind::Edit, kEditId + 3, L"", 120, 197, 283, 24},
    {Kind::Button, kButtonId + 2, L"...", 408, 197, 72, 24},
    {Kind::Label, kLabelId + 6, L"文件目录", 40, 233, 67, 24},
    {Kind::Combo, kComboId, L"", 122, 232, 145, 27},
    {Kind::Button, kButtonId + 6, L"刷新", 272, 233, 72, 24},
    {Kind::Button, kButtonId + 5, L"确定添加", 372, 269, 72, 24},
};
constexpr ControlPlace kManagePage[] = {
    {Kind::Button, kButtonId + 7, L"打开收藏夹", 64, 88, 115, 24},
};
constexpr ControlPlace kBelowTabs[] = {
    {Kind::Status, kStatusId, L"", 13, 328, 355, 24},
    {Kind::Button, kButtonId + 4, L"取消", 376, 328, 72, 24},
    {Kind::DefaultButton, kButtonId + kApplyButton, L"应用", 456, 328, 72, 24},
};
constexpr const wchar_t* kTabTexts[] = {L"添加项目", L"管理项目"};

constexpr int kGroupControls[] = {kEditId + 1, kButtonId + 1};
constexpr int kShortcutControls[] = {kEditId + 2, kEditId + 3, kComboId, kButtonId + 2, kButtonId + 6, kButtonId + 5};

} // namespace

ManagePanel::ManagePanel(CatalogueWindowSettings settings) : m_settings(std::move(settings)) {}

ManagePanel::~ManagePanel()
{
    // Destroyed here, while the handlers, fonts and brush still exist.
    if (Handle())
        ::DestroyWindow(Handle());
}

bool ManagePanel::Create(HWND owner)
{
    if (Handle()) {
        ::ShowWindow(Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(Handle());
        return true;
    }
    if (!CreateForm(kClassName, kManagePanelTitle, owner, {kManagePanelWidth, kManagePanelHeight}))
        return false;
    // Made in this order, the pages' controls lie above the tab control and
    // come first in the tab order, the buttons below it last.
    const bool made =
        MakeControls(Handle(), kAddPage) && MakeControls(Handle(), kManagePage) &&
        ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS, 0,
                          0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)),
                          ::GetModuleHandleW(nullptr), nullptr) &&
        MakeControls(Handle(), kBelowTabs);
    if (!made) {
        ::DestroyWindow(Handle());
        return false;
    }
    HWND tab = Tab();
    for (int page = 0; page < static_cast<int>(std::size(kTabTexts)); ++page) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kTabTexts[page]);
        ::SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    }
    for (int number : {1, 2})
        ::SetWindowSubclass(Radio(number), &ManagePanel::RadioProc, 0, reinterpret_cast<DWORD_PTR>(this));
    m_fields.Attach({.name = Edit(2), .path = Edit(3), .group = Combo(), .status = Status()});
    LayOut();
    EnableModes(false, false);
    ShowPage(0);

    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    return true;
}

void ManagePanel::PlaceContent(const FormFonts& fonts)
{
    const int dpi = Dpi();
    const POINT onTab{kTabPlace.left, kTabPlace.top};
    PlaceControls(Handle(), kAddPage, onTab, fonts, dpi);
    PlaceControls(Handle(), kManagePage, onTab, fonts, dpi);
    PlaceControls(Handle(), kBelowTabs, {0, 0}, fonts, dpi);
    HWND tab = Tab();
    ::SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.bold.get()), FALSE);
    const RECT tabAt = base::ScaledRect(kTabPlace, dpi);
    ::SetWindowPos(tab, nullptr, tabAt.left, tabAt.top, tabAt.right - tabAt.left, tabAt.bottom - tabAt.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    MakePageBrush();
}

HWND ManagePanel::DefaultButton() const noexcept
{
    // Enter in a section's fields adds what they hold; anywhere else it
    // applies, or presses the button that has the focus.
    HWND focus = ::GetFocus();
    if (!focus || !::IsChild(Handle(), focus))
        return Button(kApplyButton);
    if (focus == Edit(1))
        return Button(kAddGroupButton);
    if (focus == Edit(2) || focus == Edit(3) || focus == Combo() || ::IsChild(Combo(), focus))
        return Button(kAddShortcutButton);
    return IsPushButton(focus) ? focus : Button(kApplyButton);
}

HWND ManagePanel::Item(int id) const noexcept
{
    return Handle() ? ::GetDlgItem(Handle(), id) : nullptr;
}

HWND ManagePanel::Tab() const noexcept { return Item(kTabId); }
HWND ManagePanel::Radio(int number) const noexcept { return Item(kRadioId + number); }
HWND ManagePanel::Label(int number) const noexcept { return Item(kLabelId + number); }
HWND ManagePanel::Edit(int number) const noexcept { return Item(kEditId + number); }
HWND ManagePanel::Button(int number) const noexcept { return Item(kButtonId + number); }
HWND ManagePanel::Line() const noexcept { return Item(kLineId); }
HWND ManagePanel::Combo() const noexcept { return Item(kComboId); }
HWND ManagePanel::Status() const noexcept { return Item(kStatusId); }

void ManagePanel::ChooseGroupMode()
{
    ::SendMessageW(Radio(1), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(Radio(2), BM_SETCHECK, BST_UNCHECKED, 0);
    EnableModes(true, false);
    m_fields.SetStatus({});
    ::SetFocus(Edit(1));
}

void ManagePanel::ChooseShortcutMode()
{
    ::SendMessageW(Radio(1), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(Radio(2), BM_SETCHECK, BST_CHECKED, 0);
    EnableModes(false, true);
    m_fields.SetStatus({});
    (void)m_fields.Browse(Handle()); // cancelled: the fields keep their texts
    if (!Handle())
        return;
    RefreshGroupChoices();
    m_fields.FocusNextEmpty();
}

void ManagePanel::BrowseProgram()
{
    if (m_fields.Browse(Handle()))
        m_fields.FocusNextEmpty();
}

void ManagePanel::RefreshGroupChoices()
{
    m_fields.RefreshGroups();
}

void ManagePanel::AddGroup()
{
    const std::wstring name = TextOf(Edit(1));
    if (name.empty())
        return;
    switch (CreateGroup(m_settings.root, name)) {
    case WriteResult::Written:
        ::SetWindowTextW(Edit(1), L"");
        StartOver(Radio(1));
        break;
    case WriteResult::RefusedName:
        m_fields.SetStatus(RefusalText(kGroupNameField, CheckGroupName(name)));
        break;
    default:
        m_fields.SetStatus(L"未能创建目录“" + name + L"”");
        break;
    }
}

void ManagePanel::AddShortcut()
{
    if (m_fields.Save(Handle()) != ShortcutFields::Saved::Written)
        return;
    m_fields.ClearEntries();
    StartOver(Radio(2));
}

void ManagePanel::Apply()
{
    if (m_settings.reload)
        m_settings.reload();
    Close();
}

void ManagePanel::Close()
{
    if (Handle())
        ::DestroyWindow(Handle());
}

void ManagePanel::OpenCatalogueFolder()
{
    if (m_settings.shell)
        m_settings.shell->Explore(m_settings.root);
}

void ManagePanel::ShowPage(int page)
{
    HWND tab = Tab();
    if (!tab)
        return;
    if (page < 0 || page >= static_cast<int>(std::size(kTabTexts)))
        return;
    if (::SendMessageW(tab, TCM_GETCURSEL, 0, 0) != page)
        ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    // Named after the page it shows, for whoever reads window texts.
    ::SetWindowTextW(tab, kTabTexts[page]);
    const auto show = [&](std::span<const ControlPlace> controls, bool shown) {
        for (const ControlPlace& place : controls)
            ::ShowWindow(Item(place.id), shown ? SW_SHOWNA : SW_HIDE);
    };
    show(kAddPage, page == 0);
    show(kManagePage, page == 1);
    // Hidden controls cannot keep the keyboard.
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(Handle(), focus) && !::IsWindowVisible(focus))
        ::SetFocus(tab);
}

void ManagePanel::EnableModes(bool groups, bool shortcuts)
{
    for (int id : kGroupControls)
        ::EnableWindow(Item(id), groups);
    for (int id : kShortcutControls)
        ::EnableWindow(Item(id), shortcuts);
}

void ManagePanel::StartOver(HWND radio)
{
    // Moved first: a disabled control would take the keyboard with it.
    ::SetFocus(radio);
    EnableModes(false, false);
    for (int number : {1, 2})
        ::SendMessageW(Radio(number), BM_SETCHECK, BST_UNCHECKED, 0);
    m_fields.SetStatus({});
}

bool ManagePanel::LiesOnPage(HWND control) const noexcept
{
    const int id = ::GetDlgCtrlID(control);
    return (id > kLabelId && id < kLabelId + 100) || (id > kRadioId && id < kRadioId + 100);
}

void ManagePanel::MakePageBrush()
{
    // The tab control paints its body itself, themed or not; the labels and
    // radio buttons on it fill their backgrounds with the same picture.
    HWND tab = Tab();
    RECT body{};
    ::GetClientRect(tab, &body);
    const base::WindowDc screen(tab);
    const base::UniqueMemoryDc dc = base::CreateMemoryDc(screen.get());
    const base::UniqueBitmap picture(::CreateCompatibleBitmap(screen.get(), body.right, body.bottom));
    if (!dc || !picture) {
        m_pageBrush.reset();
        return;
    }
    {
        const base::SelectGuard select(dc.get(), picture.get());
        ::FillRect(dc.get(), &body, ::GetSysColorBrush(COLOR_BTNFACE));
        ::SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    }
    m_pageBrush.reset(::CreatePatternBrush(picture.get()));
}

LRESULT ManagePanel::PageColours(HDC dc, HWND control) const noexcept
{
    POINT origin{0, 0};
    ::MapWindowPoints(Tab(), control, &origin, 1);
    ::SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(m_pageBrush.get());
}

LRESULT ManagePanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != kTabId || header->code != TCN_SELCHANGE)
            return Default(message, wParam, lParam);
        ShowPage(static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case DM_GETDEFID:
        return DefaultButtonId();
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control == Status())
            return StatusColours(dc);
        if (m_pageBrush && LiesOnPage(control))
            return PageColours(dc, control);
        return Default(message, wParam, lParam);
    }
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        if (message == WM_SYSCOLORCHANGE)
            ::SendMessageW(Tab(), message, wParam, lParam); // common controls learn it from their parent
        MakePageBrush();
        ::InvalidateRect(Handle(), nullptr, TRUE);
        return Default(message, wParam, lParam);
    case WM_DPICHANGED:
        return OnDpiChanged(wParam, lParam);
    case WM_ACTIVATE:
        m_focus.OnActivate(Handle(), wParam);
        return Default(message, wParam, lParam);
    case WM_SETFOCUS:
        m_focus.OnSetFocus(Handle());
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void ManagePanel::OnDestroyed()
{
    m_fields.Attach({});
    m_focus.Forget();
    m_radioTakingFocus = false;
}

void ManagePanel::OnCommand(int id, int notification, HWND control)
{
    if (id == IDCANCEL) { // Escape
        Close();
        return;
    }
    if (id == IDOK) { // Enter, should the default button not be asked for
        PressDefaultButton();
        return;
    }
    FollowFocus(control, notification);
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case kRadioId + 1:
        if (!m_radioTakingFocus)
            ChooseGroupMode();
        break;
    case kRadioId + 2:
        if (!m_radioTakingFocus)
            ChooseShortcutMode();
        break;
    case kButtonId + kAddGroupButton:
        AddGroup();
        break;
    case kButtonId + 2:
        BrowseProgram();
        break;
    case kButtonId + 3:
        Apply();
        break;
    case kButtonId + 4:
        Close();
        break;
    case kButtonId + kAddShortcutButton:
        AddShortcut();
        break;
    case kButtonId + 6:
        RefreshGroupChoices();
        break;
    case kButtonId + 7:
        OpenCatalogueFolder();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK ManagePanel::RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self) noexcept
{
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(radio, &ManagePanel::RadioProc, id);
        return ::DefSubclassProc(radio, message, wParam, lParam);
    }
    if (message != WM_SETFOCUS)
        return ::DefSubclassProc(radio, message, wParam, lParam);
    // A radio button reached with the Tab key reports a click; choosing
    // 添加文件 that way would open the file dialog.
    auto* panel = reinterpret_cast<ManagePanel*>(self);
    const bool outer = !panel->m_radioTakingFocus;
    panel->m_radioTakingFocus = true;
    const LRESULT result = ::DefSubclassProc(radio, message, wParam, lParam);
    if (outer)
        panel->m_radioTakingFocus = false;
    return result;
}

} // namespace catalogue
