#include "catalogue/ManagePanel.h"

#include <commctrl.h>

#include <utility>

namespace catalogue {

namespace {

using toolkit::ControlKind;
using toolkit::ControlPlace;

using enum ManagePanel::Control;

enum Page { kAddPage, kManagePage };
// Controls on the pages stand from the tab control's corner.
constexpr POINT kTabCorner{13, 12};
constexpr POINT kShortcutFieldsCorner{kTabCorner.x + 40, kTabCorner.y + 165};

constexpr ControlPlace kGroupRows[] = {
    {ControlKind::Radio, kGroupModeRadio, L"添加目录", 19, 41, 112, 24},     // 单选框1
    {ControlKind::Label, kGroupNameLabel, L"目录名称：", 39, 85, 80, 24},    // 标签2
    {ControlKind::Edit, kGroupNameEdit, L"", 119, 85, 168, 24},              // 编辑框1
    {ControlKind::Button, kAddGroupButton, L"确定添加", 372, 84, 72, 24},    // 按钮1
    {ControlKind::Line, kSeparatorLine, L"", 23, 120, 470, 2},               // 外形框1
    {ControlKind::Radio, kShortcutModeRadio, L"添加文件", 19, 131, 112, 24}, // 单选框2
};
constexpr ControlPlace kAddShortcutRow[] = {
    {ControlKind::Button, kAddShortcutButton, L"确定添加", 372, 269, 72, 24}, // 按钮5
};
constexpr ControlPlace kManagePageRows[] = {
    {ControlKind::Button, kOpenFavoritesButton, L"打开收藏夹", 64, 88, 115, 24}, // 按钮7
};
constexpr ControlPlace kTabRow[] = {
    {ControlKind::Tab, kPageTabs, L"添加项目|管理项目", 0, 0, 520, 304}, // 选择夹1
};
constexpr ControlPlace kBelowTabsRows[] = {
    {ControlKind::Status, ShortcutForm::kStatusLine, L"", 13, 328, 355, 24},
    {ControlKind::Button, kCancelButton, L"取消", 376, 328, 72, 24},       // 按钮4
    {ControlKind::DefaultButton, kApplyButton, L"应用", 456, 328, 72, 24}, // 按钮3
};

// In this order the pages' controls lie above the tab control and come
// first in the tab order, the buttons below it last.
constexpr toolkit::ControlSection kSections[] = {
    {kGroupRows, kTabCorner, kAddPage},
    {ShortcutForm::kShortcutFieldRows, kShortcutFieldsCorner, kAddPage},
    {kAddShortcutRow, kTabCorner, kAddPage},
    {kManagePageRows, kTabCorner, kManagePage},
    {kTabRow, kTabCorner},
    {kBelowTabsRows},
};

// The whole window at 96 DPI.
constexpr toolkit::PanelDesign kDesign{
    .className = L"QuilleryManagePanel", .title = L"管理面板", .size = {555, 392}, .sections = kSections};

// The two sets of controls the mode buttons switch.
constexpr int kGroupControls[] = {kGroupNameEdit, kAddGroupButton};
constexpr int kShortcutControls[] = {ShortcutForm::kShortcutNameEdit, ShortcutForm::kProgramPathEdit,
                                     ShortcutForm::kGroupCombo,       ShortcutForm::kBrowseButton,
                                     ShortcutForm::kRefreshButton,    kAddShortcutButton};

} // namespace

ManagePanel::ManagePanel(CatalogueWindowSettings settings) : ShortcutForm(std::move(settings)) {}

ManagePanel::~ManagePanel()
{
    // Destroyed here, while the handlers and the brush still exist.
    Close();
}

bool ManagePanel::Create(HWND owner)
{
    if (Handle()) {
        ::ShowWindow(Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(Handle());
        return true;
    }
    if (!CreateForm(owner, kDesign))
        return false;
    for (HWND radio : {GroupModeRadio(), ShortcutModeRadio()})
        ::SetWindowSubclass(radio, &ManagePanel::RadioProc, 0, reinterpret_cast<DWORD_PTR>(this));
    EnableModes(false, false);
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    return true;
}

HWND ManagePanel::DefaultButton() const noexcept
{
    // Enter in a section's fields adds what they hold; anywhere else it
    // applies, or presses the button that has the focus.
    HWND focus = ::GetFocus();
    if (focus && focus == GroupNameEdit())
        return AddGroupButton();
    if (focus && (focus == ShortcutNameEdit() || focus == ProgramPathEdit() || focus == GroupCombo() ||
                  ::IsChild(GroupCombo(), focus)))
        return AddShortcutButton();
    return ShortcutForm::DefaultButton();
}

void ManagePanel::ChooseGroupMode()
{
    ::SendMessageW(GroupModeRadio(), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(ShortcutModeRadio(), BM_SETCHECK, BST_UNCHECKED, 0);
    EnableModes(true, false);
    m_fields.SetStatus({});
    ::SetFocus(GroupNameEdit());
}

void ManagePanel::ChooseShortcutMode()
{
    ::SendMessageW(GroupModeRadio(), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(ShortcutModeRadio(), BM_SETCHECK, BST_CHECKED, 0);
    EnableModes(false, true);
    m_fields.SetStatus({});
    (void)m_fields.Browse(Handle()); // cancelled: the fields keep their texts
    if (!Handle())
        return;
    RefreshGroupChoices();
    m_fields.FocusNextEmpty();
}

void ManagePanel::AddGroup()
{
    const std::wstring name = toolkit::TextOf(GroupNameEdit());
    if (name.empty())
        return;
    switch (CreateGroup(m_settings.root, name)) {
    case WriteResult::Written:
        ::SetWindowTextW(GroupNameEdit(), L"");
        StartOver(GroupModeRadio());
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
    StartOver(ShortcutModeRadio());
}

void ManagePanel::Apply()
{
    if (m_settings.reload)
        m_settings.reload();
    Close();
}

void ManagePanel::OpenCatalogueFolder()
{
    if (m_settings.shell)
        m_settings.shell->Explore(m_settings.root);
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
    for (HWND mode : {GroupModeRadio(), ShortcutModeRadio()})
        ::SendMessageW(mode, BM_SETCHECK, BST_UNCHECKED, 0);
    m_fields.SetStatus({});
}

void ManagePanel::OnLaidOut()
{
    MakePageBrush();
}

void ManagePanel::MakePageBrush()
{
    // The tab control paints its body itself, themed or not; the labels and
    // radio buttons on it fill their backgrounds with the same picture.
    HWND tab = PageTabs();
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
    ::MapWindowPoints(PageTabs(), control, &origin, 1);
    ::SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(m_pageBrush.get());
}

LRESULT ManagePanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        // The labels and radio buttons all lie on the pages.
        const toolkit::ControlPlace* row = RowOf(reinterpret_cast<HWND>(lParam));
        if (m_pageBrush && row && (row->kind == ControlKind::Label || row->kind == ControlKind::Radio))
            return PageColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        break;
    }
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        if (message == WM_SYSCOLORCHANGE)
            ::SendMessageW(PageTabs(), message, wParam, lParam); // common controls learn it from their parent
        MakePageBrush();
        ::InvalidateRect(Handle(), nullptr, TRUE);
        break;
    default:
        break;
    }
    return ShortcutForm::OnMessage(message, wParam, lParam);
}

void ManagePanel::OnDestroyed()
{
    m_radioTakingFocus = false;
    ShortcutForm::OnDestroyed();
}

void ManagePanel::OnClicked(int id)
{
    switch (id) {
    case kGroupModeRadio:
        if (!m_radioTakingFocus)
            ChooseGroupMode();
        break;
    case kShortcutModeRadio:
        if (!m_radioTakingFocus)
            ChooseShortcutMode();
        break;
    case kAddGroupButton:
        AddGroup();
        break;
    case kAddShortcutButton:
        AddShortcut();
        break;
    case kApplyButton:
        Apply();
        break;
    case kCancelButton:
        Close();
        break;
    case kOpenFavoritesButton:
        OpenCatalogueFolder();
        break;
    default:
        ShortcutForm::OnClicked(id);
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
