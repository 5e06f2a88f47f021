#pragma once
// What the management panel and the drop window both are: a panel with the
// shortcut fields (name, program path with its browse button, group with
// its refresh button) and a status line that says why an add did nothing.

#include "catalogue/CatalogueShell.h"
#include "catalogue/ShortcutFields.h"
#include "toolkit/Panel.h"

#include <windows.h>

namespace catalogue {

class ShortcutForm : public toolkit::Panel {
public:
    // Ids clear of IDOK and IDCANCEL, which the dialog manager sends for
    // Enter and Escape.
    enum : int {
        kShortcutNameLabel = 100, kShortcutNameEdit, kProgramPathLabel, kProgramPathEdit, kBrowseButton,
        kGroupLabel, kGroupCombo, kRefreshButton, kStatusLine,
        kFirstOwnId, // a form's own controls from here on
    };

    // The shortcut fields' rows, from the corner of their first label; the
    // two forms number them differently (管理面板 / 拖放添加).
    static constexpr toolkit::ControlPlace kShortcutFieldRows[] = {
        {toolkit::ControlKind::Label, kShortcutNameLabel, L"文件名称：", 0, 0, 80, 24},  // 标签4
        {toolkit::ControlKind::Edit, kShortcutNameEdit, L"", 80, 0, 168, 24},           // 编辑框2 / 1
        {toolkit::ControlKind::Label, kProgramPathLabel, L"文件地址：", 0, 32, 80, 24}, // 标签5
        {toolkit::ControlKind::Edit, kProgramPathEdit, L"", 80, 32, 283, 24},           // 编辑框3 / 2
        {toolkit::ControlKind::Button, kBrowseButton, L"...", 368, 32, 72, 24},         // 按钮2 / 1
        {toolkit::ControlKind::Label, kGroupLabel, L"文件目录", 0, 68, 67, 24},         // 标签6
        {toolkit::ControlKind::Combo, kGroupCombo, L"", 82, 67, 145, 27},               // 组合框1
        {toolkit::ControlKind::Button, kRefreshButton, L"刷新", 232, 68, 72, 24},       // 按钮6 / 2
    };

    // The fields' controls, for tests and automation, with what they do.
    [[nodiscard]] HWND ShortcutNameLabel() const noexcept { return Item(kShortcutNameLabel); }
    [[nodiscard]] HWND ShortcutNameEdit() const noexcept { return Item(kShortcutNameEdit); }
    [[nodiscard]] HWND ProgramPathLabel() const noexcept { return Item(kProgramPathLabel); }
    [[nodiscard]] HWND ProgramPathEdit() const noexcept { return Item(kProgramPathEdit); }
    [[nodiscard]] HWND BrowseButton() const noexcept { return Item(kBrowseButton); }
    // The shell's file dialog fills the program path and the name it suggests.
    void BrowseProgram();
    [[nodiscard]] HWND GroupLabel() const noexcept { return Item(kGroupLabel); }
    [[nodiscard]] HWND GroupCombo() const noexcept { return Item(kGroupCombo); }
    [[nodiscard]] HWND RefreshButton() const noexcept { return Item(kRefreshButton); }
    // Refills the group choices from the catalogue folder.
    void RefreshGroupChoices();
    [[nodiscard]] HWND StatusLine() const noexcept { return Item(kStatusLine); }

protected:
    explicit ShortcutForm(CatalogueWindowSettings settings);

    // CreatePanel, with the fields then attached.
    [[nodiscard]] bool CreateForm(HWND owner, const toolkit::PanelDesign& design);

    void OnClicked(int id) override;
    void OnDestroyed() override;

    CatalogueWindowSettings m_settings;
    ShortcutFields m_fields{m_settings};
};

} // namespace catalogue
