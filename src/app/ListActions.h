#pragma once
// What the user does to shortcuts and groups where they stand in the list:
// the right-click menus (also on the Apps key and Shift+F10), F2, Delete and
// Ctrl+Shift+Enter, and starting a shortcut whose program may be gone.
// Every change goes to the catalogue folders first; the list is then loaded
// again with the user's place kept (groups open as they were, the selection
// on the item just changed, the filter as it stood).

#include "catalogue/Catalogue.h"
#include "catalogue/ProgramLauncher.h"
#include "grouplist/GroupedListControl.h"

#include <windows.h>

#include <functional>
#include <string>

namespace app {

// The menus' commands, also their item ids.
enum class ListCommand : UINT {
    Open = 1,
    RunAsAdministrator,
    OpenLocation,
    CopyPath,
    Rename,
    Delete,
    Relocate,
    StartAll,
    NewGroup,
    OpenFavorites,
    Refresh,
};

// The dialogs and the file browser, behind a seam so tests answer them.
class ListActionShell {
public:
    virtual ~ListActionShell() = default;
    // A yes/no question, 是 the default; true for 是.
    [[nodiscard]] virtual bool Ask(HWND owner, const std::wstring& question) = 0;
    virtual void Tell(HWND owner, const std::wstring& message) = 0;
    // Full path of the chosen program, or empty when cancelled.
    [[nodiscard]] virtual std::wstring ChooseProgram(HWND owner) = 0;
    // The folder of path in the file browser, with path selected.
    virtual void ShowInFolder(const std::wstring& path) = 0;
    virtual void Explore(const std::wstring& folder) = 0;
};

// MessageBoxW, the open-file dialog, SHOpenFolderAndSelectItems.
class SystemListActionShell final : public ListActionShell {
public:
    [[nodiscard]] bool Ask(HWND owner, const std::wstring& question) override;
    void Tell(HWND owner, const std::wstring& message) override;
    [[nodiscard]] std::wstring ChooseProgram(HWND owner) override;
    void ShowInFolder(const std::wstring& path) override;
    void Explore(const std::wstring& folder) override;
};

// The three menus, their items in order with their access keys; the entry
// menu offers 重新定位 only for a program that is missing.
[[nodiscard]] HMENU MakeEntryMenu(bool programMissing);
[[nodiscard]] HMENU MakeGroupMenu();
[[nodiscard]] HMENU MakeBlankMenu();

inline constexpr wchar_t kMissingProgramText[] = L"找不到程序：";
inline constexpr wchar_t kNewGroupBaseName[] = L"新建分组";
// A group holding more than this many shortcuts is started whole only after a question.
inline constexpr int kStartAllWithoutAsking = 10;

struct ListActionSettings {
    std::wstring root;                                   // the catalogue folder
    unsigned codePage = 0;                               // CP_ACP; tests pin 936
    HWND owner = nullptr;                                // not owned: the main window, for dialogs and menus
    grouplist::GroupedListControl* list = nullptr;       // not owned
    catalogue::CatalogueLoader* loader = nullptr;        // not owned
    catalogue::ProgramLauncher* launcher = nullptr;      // not owned
    ListActionShell* shell = nullptr;                    // not owned
};

class ListActions {
public:
    explicit ListActions(ListActionSettings settings) : m_settings(std::move(settings)) {}

    // The list's right-click reports: at the point (screen coordinates), or
    // below the selected row when x and y are -1 (the keyboard's menu).
    void OnEntryMenu(int entry, int x, int y);
    void OnGroupMenu(int group, int x, int y);
    void OnBlankMenu(int x, int y);
    // F2, Delete and Ctrl+Shift+Enter on the selection; true when taken.
    [[nodiscard]] bool OnKey(UINT message, WPARAM key);

    // A double-click or Enter: a program that is gone is said to be so.
    void Launch(int entry);
    // What a menu item does to the item it was opened on (0 for the blank area).
    void Run(ListCommand command, int item);

    // The list loaded again from the folders, the user's place kept.
    void Reload();

private:
    [[nodiscard]] POINT MenuPoint(int x, int y) const;
    void ShowMenu(HMENU menu, int item, int x, int y);
    void OpenEntry(int entry, bool elevated);
    void CopyPath(int entry);
    void ShowLocation(int entry);
    void BeginRename(int item);
    [[nodiscard]] bool RenameEntry(int entry, const std::wstring& text);
    [[nodiscard]] bool RenameGroup(int group, const std::wstring& text);
    void Delete(int item);
    void Relocate(int entry);
    void StartAll(int group);
    void NewGroup();
    void ReloadWith(const catalogue::ListPlace& place);
    // The group's row shown and, for an entry, its group open: a rename needs its row.
    void Reveal(int item);
    void Tell(const std::wstring& message) const;
    [[nodiscard]] bool Ask(const std::wstring& question) const;

    ListActionSettings m_settings;
};

} // namespace app
