#pragma once
// 管理面板: adds a group folder or a shortcut to the catalogue, and opens
// the catalogue folder. 应用 rebuilds the main window's list and closes;
// Enter in a section's fields adds, and the panel stays.

#include "base/Handles.h"
#include "catalogue/ShortcutForm.h"

#include <windows.h>

namespace catalogue {

class ManagePanel : public ShortcutForm {
public:
    explicit ManagePanel(CatalogueWindowSettings settings);
    ~ManagePanel() override;

    // Non-modal, owned by owner, centred over it, shown and activated. An
    // open panel is brought forward as it is.
    [[nodiscard]] bool Create(HWND owner);

    // Its own controls' ids; the shortcut fields' are ShortcutForm's.
    enum Control : int {
        kGroupModeRadio = kFirstOwnId, kGroupNameLabel, kGroupNameEdit, kAddGroupButton, kSeparatorLine,
        kShortcutModeRadio, kAddShortcutButton,
        kOpenFavoritesButton, kPageTabs, kCancelButton, kApplyButton,
    };

    // What the controls do.
    void ChooseGroupMode();     // 添加目录
    void AddGroup();
    void ChooseShortcutMode();  // 添加文件
    void AddShortcut();
    void OpenCatalogueFolder(); // 打开收藏夹
    void Apply();

    // The controls, for tests and automation: 添加项目's group section,
    [[nodiscard]] HWND GroupModeRadio() const noexcept { return Item(kGroupModeRadio); }
    [[nodiscard]] HWND GroupNameLabel() const noexcept { return Item(kGroupNameLabel); }
    [[nodiscard]] HWND GroupNameEdit() const noexcept { return Item(kGroupNameEdit); }
    [[nodiscard]] HWND AddGroupButton() const noexcept { return Item(kAddGroupButton); }
    [[nodiscard]] HWND SeparatorLine() const noexcept { return Item(kSeparatorLine); }
    // its shortcut section (whose fields are ShortcutForm's),
    [[nodiscard]] HWND ShortcutModeRadio() const noexcept { return Item(kShortcutModeRadio); }
    [[nodiscard]] HWND AddShortcutButton() const noexcept { return Item(kAddShortcutButton); }
    // 管理项目's one button, the tabs themselves, and the buttons below the pages.
    [[nodiscard]] HWND OpenFavoritesButton() const noexcept { return Item(kOpenFavoritesButton); }
    [[nodiscard]] HWND PageTabs() const noexcept { return Item(kPageTabs); }
    [[nodiscard]] HWND CancelButton() const noexcept { return Item(kCancelButton); }
    [[nodiscard]] HWND ApplyButton() const noexcept { return Item(kApplyButton); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnClicked(int id) override;
    void OnLaidOut() override;
    [[nodiscard]] HWND DefaultButton() const noexcept override;
    void OnDestroyed() override;
    void EnableModes(bool groups, bool shortcuts);
    // Back to how the panel opened, the focus on `radio`.
    void StartOver(HWND radio);
    void MakePageBrush();
    [[nodiscard]] LRESULT PageColours(HDC dc, HWND control) const noexcept;
    static LRESULT CALLBACK RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self) noexcept;

    // The tab's body, for the labels and radio buttons lying on it.
    base::UniqueBrush m_pageBrush;
    // Set while a radio button takes the focus: the click it reports then
    // is no choice of the user's.
    bool m_radioTakingFocus = false;
};

} // namespace catalogue
