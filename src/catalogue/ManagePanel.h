#pragma once
// 管理面板: adds a group folder or a shortcut to the catalogue, and opens
// the catalogue folder. 应用 rebuilds the main window's list and closes;
// Enter in a section's fields adds, and the panel stays.

#include "base/FocusMemory.h"
#include "base/Handles.h"
#include "catalogue/CatalogueShell.h"
#include "catalogue/FormControls.h"
#include "catalogue/ShortcutFields.h"

#include <windows.h>

namespace catalogue {

inline constexpr wchar_t kManagePanelTitle[] = L"管理面板";
// The whole window at 96 DPI.
inline constexpr int kManagePanelWidth = 555;
inline constexpr int kManagePanelHeight = 392;

class ManagePanel : public FormWindow {
public:
    explicit ManagePanel(CatalogueWindowSettings settings);
    ~ManagePanel() override;

    // Non-modal, owned by owner, centred over it, shown and activated. An
    // open panel is brought forward as it is.
    [[nodiscard]] bool Create(HWND owner);

    // The controls by their form names, for tests and automation.
    [[nodiscard]] HWND Tab() const noexcept;               // 选择夹1
    [[nodiscard]] HWND Radio(int number) const noexcept;   // 单选框1, 2
    [[nodiscard]] HWND Label(int number) const noexcept;   // 标签2, 4, 5, 6
    [[nodiscard]] HWND Edit(int number) const noexcept;    // 编辑框1 .. 3
    [[nodiscard]] HWND Button(int number) const noexcept;  // 按钮1 .. 7
    [[nodiscard]] HWND Line() const noexcept;              // 外形框1
    [[nodiscard]] HWND Combo() const noexcept;             // 组合框1
    [[nodiscard]] HWND Status() const noexcept;

    // What the controls do.
    void ChooseGroupMode();     // 单选框1
    void ChooseShortcutMode();  // 单选框2
    void BrowseProgram();       // 按钮2
    void RefreshGroupChoices(); // 按钮6
    void AddGroup();            // 按钮1
    void AddShortcut();         // 按钮5
    void Apply();               // 按钮3
    void Close();               // 按钮4, Escape, the close box
    void OpenCatalogueFolder(); // 按钮7
    void ShowPage(int page);    // 0 添加项目, 1 管理项目

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceContent(const FormFonts& fonts) override;
    [[nodiscard]] HWND DefaultButton() const noexcept override;
    void OnDestroyed() override;
    void OnCommand(int id, int notification, HWND control);
    [[nodiscard]] HWND Item(int id) const noexcept;
    void EnableModes(bool groups, bool shortcuts);
    // Back to how the panel opened, the focus on `radio`.
    void StartOver(HWND radio);
    [[nodiscard]] bool LiesOnPage(HWND control) const noexcept;
    void MakePageBrush();
    [[nodiscard]] LRESULT PageColours(HDC dc, HWND control) const noexcept;
    static LRESULT CALLBACK RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self) noexcept;

    CatalogueWindowSettings m_settings;
    ShortcutFields m_fields{m_settings};
    // The tab's body, for the labels and radio buttons lying on it.
    base::UniqueBrush m_pageBrush;
    base::FocusMemory m_focus;
    // Set while a radio button takes the focus: the click it reports then
    // is no choice of the user's.
    bool m_radioTakingFocus = false;
};

} // namespace catalogue
