#pragma once
// 拖放添加: files dropped on the main window become shortcuts one at a
// time. Several dropped together wait in a queue; 确定 saves the one shown
// and shows the next, and the window closes after the last.

#include "catalogue/ShortcutForm.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace catalogue {

class DropAddWindow : public ShortcutForm {
public:
    explicit DropAddWindow(CatalogueWindowSettings settings);
    ~DropAddWindow() override;

    // Creates the window (if not yet open) and shows the first of the
    // dropped paths; while it is open, new paths wait behind the one shown.
    // False when the window could not be made, or there is nothing to show.
    [[nodiscard]] bool Open(HWND owner, std::vector<std::wstring> droppedPaths);

    // 确定, for tests and automation; the fields are ShortcutForm's.
    [[nodiscard]] HWND SaveButton() const noexcept;
    // Paths waiting behind the one shown.
    [[nodiscard]] const std::deque<std::wstring>& Waiting() const noexcept { return m_waiting; }

    // 确定, and Enter anywhere but on another button.
    void Save();

private:
    void OnClicked(int id) override;
    void OnDestroyed() override;
    void ShowNext();

    std::deque<std::wstring> m_waiting;
};

} // namespace catalogue
