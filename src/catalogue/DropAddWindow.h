#pragma once
// 拖放添加: files dropped on the main window become shortcuts one at a
// time. Several dropped together wait in a queue; 确定 saves the one shown
// and shows the next, and the window closes after the last.

#include "base/FocusMemory.h"
#include "catalogue/CatalogueShell.h"
#include "catalogue/FormControls.h"
#include "catalogue/ShortcutFields.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace catalogue {

inline constexpr wchar_t kDropAddTitle[] = L"拖放添加";
// The whole window at 96 DPI.
inline constexpr int kDropAddWidth = 512;
inline constexpr int kDropAddHeight = 211;

class DropAddWindow : public FormWindow {
public:
    explicit DropAddWindow(CatalogueWindowSettings settings);
    ~DropAddWindow() override;

    // Creates the window (if not yet open) and shows the first of the
    // dropped paths; while it is open, new paths wait behind the one shown.
    // False when the window could not be made, or there is nothing to show.
    [[nodiscard]] bool Open(HWND owner, std::vector<std::wstring> droppedPaths);

    // The controls by their form names, for tests and automation.
    [[nodiscard]] HWND Label(int number) const noexcept;  // 标签4, 5, 6
    [[nodiscard]] HWND Edit(int number) const noexcept;   // 编辑框1 (name), 2 (path)
    [[nodiscard]] HWND Button(int number) const noexcept; // 按钮1 .., 2 刷新, 3 确定
    [[nodiscard]] HWND Combo() const noexcept;            // 组合框1
    [[nodiscard]] HWND Status() const noexcept;
    // Paths waiting behind the one shown.
    [[nodiscard]] const std::deque<std::wstring>& Waiting() const noexcept { return m_waiting; }

    // What the controls do.
    void BrowseProgram();       // 按钮1
    void RefreshGroupChoices(); // 按钮2
    void Save();                // 按钮3, Enter
    void Close();               // Escape, the close box

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] bool Create(HWND owner);
    void PlaceContent(const FormFonts& fonts) override;
    [[nodiscard]] HWND DefaultButton() const noexcept override;
    void OnDestroyed() override;
    void OnCommand(int id, int notification, HWND control);
    [[nodiscard]] HWND Item(int id) const noexcept;
    void ShowNext();

    CatalogueWindowSettings m_settings;
    ShortcutFields m_fields{m_settings};
    base::FocusMemory m_focus;
    std::deque<std::wstring> m_waiting;
};

} // namespace catalogue
