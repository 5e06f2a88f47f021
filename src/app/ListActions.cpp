#include "app/ListActions.h"

#include "base/Clipboard.h"
#include "base/Dpi.h"
#include "base/WindowPlacement.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/CatalogueShell.h"
#include "catalogue/CatalogueWriter.h"
#include "catalogue/ShortcutFields.h"

#include <algorithm>
#include <utility>

namespace app {

namespace {

constexpr wchar_t kCaption[] = L"Quillery";
// The field name a refusal names, for a name typed in the list.
constexpr wchar_t kNameField[] = L"名称";

struct MenuItem {
    ListCommand command; // 0 for a separator
    const wchar_t* text;
};

constexpr MenuItem kSeparator{static_cast<ListCommand>(0), nullptr};

HMENU MakeMenu(std::initializer_list<MenuItem> items)
{
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (const MenuItem& item : items) {
        const bool added = item.text ? ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), item.text)
                                     : ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        if (!added) {
            ::DestroyMenu(menu);
            return nullptr;
        }
    }
    return menu;
}

[[nodiscard]] std::wstring Quoted(const std::wstring& name)
{
    return L"“" + name + L"”";
}

} // namespace

HMENU MakeEntryMenu(bool programMissing)
{
    HMENU menu = programMissing ? MakeMenu({{ListCommand::Open, L"打开(&O)"},
                                            {ListCommand::RunAsAdministrator, L"以管理员身份运行(&A)"},
                                            {ListCommand::OpenLocation, L"打开文件所在的位置(&I)"},
                                            {ListCommand::CopyPath, L"复制路径(&C)"},
                                            kSeparator,
                                            {ListCommand::Rename, L"重命名(&M)"},
                                            {ListCommand::Delete, L"删除(&D)"},
                                            {ListCommand::Relocate, L"重新定位(&L)..."}})
                                : MakeMenu({{ListCommand::Open, L"打开(&O)"},
                                            {ListCommand::RunAsAdministrator, L"以管理员身份运行(&A)"},
                                            {ListCommand::OpenLocation, L"打开文件所在的位置(&I)"},
                                            {ListCommand::CopyPath, L"复制路径(&C)"},
                                            kSeparator,
                                            {ListCommand::Rename, L"重命名(&M)"},
                                            {ListCommand::Delete, L"删除(&D)"}});
    // Drawn bold: what a double-click does.
    if (menu)
        ::SetMenuDefaultItem(menu, static_cast<UINT>(ListCommand::Open), FALSE);
    return menu;
}

HMENU MakeGroupMenu()
{
    return MakeMenu({{ListCommand::StartAll, L"全部启动(&S)"},
                     kSeparator,
                     {ListCommand::NewGroup, L"新建分组(&N)"},
                     {ListCommand::Rename, L"重命名(&M)"},
                     {ListCommand::Delete, L"删除(&D)"}});
}

HMENU MakeBlankMenu()
{
    return MakeMenu({{ListCommand::NewGroup, L"新建分组(&N)"},
                     {ListCommand::OpenFavorites, L"打开收藏夹(&F)"},
                     {ListCommand::Refresh, L"刷新(&R)"}});
}

bool SystemListActionShell::Ask(HWND owner, const std::wstring& question)
{
    return ::MessageBoxW(owner, question.c_str(), kCaption, MB_YESNO | MB_DEFBUTTON1 | MB_ICONQUESTION) == IDYES;
}

void SystemListActionShell::Tell(HWND owner, const std::wstring& message)
{
    ::MessageBoxW(owner, message.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

std::wstring SystemListActionShell::ChooseProgram(HWND owner)
{
    return catalogue::SystemCatalogueShell().ChooseProgram(owner);
}

void SystemListActionShell::ShowInFolder(const std::wstring& path)
{
    (void)base::ShowInFolder(path); // silent: the user sees whether a window opened
}

void SystemListActionShell::Explore(const std::wstring& folder)
{
    (void)base::ExploreFolder(folder);
}

void ListActions::OnEntryMenu(int entry, int x, int y)
{
    base::UniqueMenu menu(MakeEntryMenu(m_settings.list->IsEntryMissing(entry)));
    ShowMenu(menu.get(), entry, x, y);
}

void ListActions::OnGroupMenu(int group, int x, int y)
{
    base::UniqueMenu menu(MakeGroupMenu());
    ShowMenu(menu.get(), group, x, y);
}

void ListActions::OnBlankMenu(int x, int y)
{
    base::UniqueMenu menu(MakeBlankMenu());
    ShowMenu(menu.get(), 0, x, y);
}

POINT ListActions::MenuPoint(int x, int y) const
{
    HWND listWindow = m_settings.list->GetWindowHandle();
    POINT at{x, y};
    if (x == -1 && y == -1) {
        // From the keyboard: below the start of the selected row's text, as
        // the file browser places it, or the list's corner with no selection.
        at = {0, 0};
        const int row = m_settings.list->SelectedRow();
        RECT r{};
        if (row >= 0 && ::SendMessageW(listWindow, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                       reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            at = {r.left + base::Scaled(24, m_settings.list->Dpi()), r.bottom};
    }
    ::ClientToScreen(listWindow, &at);
    return at;
}

void ListActions::ShowMenu(HMENU menu, int item, int x, int y)
{
    if (!menu)
        return;
    const POINT at = MenuPoint(x, y);
    m_settings.list->SuspendTooltips(true);
    // The menu closes with a click elsewhere only while its owner is in front.
    ::SetForegroundWindow(m_settings.owner);
    const auto chosen = static_cast<UINT>(::TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, m_settings.owner, nullptr));
    ::PostMessageW(m_settings.owner, WM_NULL, 0, 0);
    m_settings.list->SuspendTooltips(false);
    if (chosen != 0)
        Run(static_cast<ListCommand>(chosen), item);
}

bool ListActions::OnKey(UINT message, WPARAM key)
{
    if (message != WM_KEYDOWN)
        return false;
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool alt = ::GetKeyState(VK_MENU) < 0;
    const int selected = m_settings.list->SelectedHandle();
    if (selected == 0 || alt)
        return false;
    if (key == VK_F2 && !control && !shift) {
        BeginRename(selected);
        return true;
    }
    if (key == VK_DELETE && !control && !shift) {
        Delete(selected);
        return true;
    }
    if (key == VK_RETURN && control && shift) {
        if (catalogue::ShortcutOf(*m_settings.list, selected))
            OpenEntry(selected, true);
        return true;
    }
    return false;
}

void ListActions::Launch(int entry)
{
    OpenEntry(entry, false);
}

void ListActions::Run(ListCommand command, int item)
{
    switch (command) {
    case ListCommand::Open:
        OpenEntry(item, false);
        break;
    case ListCommand::RunAsAdministrator:
        OpenEntry(item, true);
        break;
    case ListCommand::OpenLocation:
        ShowLocation(item);
        break;
    case ListCommand::CopyPath:
        CopyPath(item);
        break;
    case ListCommand::Rename:
        BeginRename(item);
        break;
    case ListCommand::Delete:
        Delete(item);
        break;
    case ListCommand::Relocate:
        Relocate(item);
        break;
    case ListCommand::StartAll:
        StartAll(item);
        break;
    case ListCommand::NewGroup:
        NewGroup();
        break;
    case ListCommand::OpenFavorites:
        m_settings.shell->Explore(m_settings.root);
        break;
    case ListCommand::Refresh:
        Reload();
        break;
    }
}

void ListActions::OpenEntry(int entry, bool elevated)
{
    const auto shortcut = catalogue::ShortcutOf(*m_settings.list, entry);
    if (!shortcut || shortcut->path.empty())
        return; // a group, or a shortcut that names nothing
    // Asked now, not taken from the mark: the program may have come back,
    // or gone since the list was loaded. Only local paths are asked.
    if (catalogue::IsMissingProgram(shortcut->path)) {
        Tell(kMissingProgramText + shortcut->path);
        return;
    }
    const std::wstring folder = catalogue::DirectoryOf(shortcut->path);
    // Whether the program then starts nobody hears, as with the shell's own double-click.
    (void)(elevated ? m_settings.launcher->OpenAsAdministrator(shortcut->path, folder)
                    : m_settings.launcher->Open(shortcut->path, folder));
}

void ListActions::CopyPath(int entry)
{
    const auto shortcut = catalogue::ShortcutOf(*m_settings.list, entry);
    if (shortcut && !shortcut->path.empty() && !base::CopyTextToClipboard(m_settings.owner, shortcut->path))
        Tell(L"未能复制路径：剪贴板正被其他程序占用");
}

void ListActions::ShowLocation(int entry)
{
    const auto shortcut = catalogue::ShortcutOf(*m_settings.list, entry);
    if (shortcut && !shortcut->path.empty())
        m_settings.shell->ShowInFolder(shortcut->path);
}

void ListActions::Reveal(int item)
{
    const std::optional<grouplist::ItemRecord> record = m_settings.list->ReadItem(item);
    if (!record || record->IsGroup())
        return;
    const std::optional<grouplist::ItemRecord> group = m_settings.list->ReadItem(record->groupHandle);
    if (group && !group->expanded) {
        m_settings.list->ExpandGroup(record->groupHandle);
        m_settings.loader->GroupToggled(record->groupHandle);
    }
}

void ListActions::BeginRename(int item)
{
    grouplist::GroupedListControl& list = *m_settings.list;
    if (const auto shortcut = catalogue::ShortcutOf(list, item)) {
        Reveal(item);
        (void)list.BeginRename(item, shortcut->name,
                               [this](int entry, const std::wstring& text) { return RenameEntry(entry, text); });
    } else if (const auto folder = catalogue::GroupFolderOf(list, item)) {
        (void)list.BeginRename(item, *folder,
                               [this](int group, const std::wstring& text) { return RenameGroup(group, text); });
    }
}

bool ListActions::RenameEntry(int entry, const std::wstring& text)
{
    const auto shortcut = catalogue::ShortcutOf(*m_settings.list, entry);
    if (!shortcut)
        return true; // gone meanwhile: nothing left to rename
    if (text == shortcut->name)
        return true;
    switch (catalogue::RenameShortcut(m_settings.root, shortcut->group, shortcut->name, text)) {
    case catalogue::EditResult::Done: {
        catalogue::ListPlace place = m_settings.loader->CurrentPlace();
        place.selectedGroup = shortcut->group;
        place.selectedEntry = text;
        ReloadWith(place);
        return true;
    }
    case catalogue::EditResult::RefusedName:
        Tell(catalogue::RefusalText(kNameField, catalogue::CheckName(text)));
        return false;
    case catalogue::EditResult::NameTaken:
        Tell(L"已有同名快捷方式" + Quoted(text) + L"，未能重命名");
        return false;
    case catalogue::EditResult::Missing:
        Reload(); // renamed or removed by hand meanwhile: show what is there
        return true;
    case catalogue::EditResult::Failed:
        break;
    }
    Tell(L"未能重命名" + Quoted(shortcut->name));
    return false;
}

bool ListActions::RenameGroup(int group, const std::wstring& text)
{
    const auto folder = catalogue::GroupFolderOf(*m_settings.list, group);
    if (!folder)
        return true;
    if (text == *folder)
        return true;
    switch (catalogue::RenameGroup(m_settings.root, *folder, text)) {
    case catalogue::EditResult::Done: {
        catalogue::ListPlace place = m_settings.loader->CurrentPlace();
        // Open before, open after, under its new name.
        for (std::wstring& name : place.expandedGroups)
            if (name == *folder)
                name = text;
        place.selectedGroup = text;
        place.selectedEntry.clear();
        ReloadWith(place);
        return true;
    }
    case catalogue::EditResult::RefusedName:
        Tell(catalogue::RefusalText(kNameField, catalogue::CheckGroupName(text)));
        return false;
    case catalogue::EditResult::NameTaken:
        Tell(L"已有同名分组" + Quoted(text) + L"，未能重命名");
        return false;
    case catalogue::EditResult::Missing:
        Reload();
        return true;
    case catalogue::EditResult::Failed:
        break;
    }
    Tell(L"未能重命名" + Quoted(*folder));
    return false;
}

void ListActions::Delete(int item)
{
    grouplist::GroupedListControl& list = *m_settings.list;
    catalogue::ListPlace place = m_settings.loader->CurrentPlace();
    if (const auto shortcut = catalogue::ShortcutOf(list, item)) {
        if (!Ask(L"确定要删除" + Quoted(shortcut->name) + L"吗？"))
            return;
        const std::wstring file = m_settings.root + L"\\" + shortcut->group + L"\\" + shortcut->name + L"." +
                                  catalogue::kShortcutExtension;
        if (!catalogue::MoveToRecycleBin(file)) {
            Tell(L"未能删除" + Quoted(shortcut->name));
            return;
        }
        // The selection moves to the shortcut that took its place, or the
        // one before it, or the group.
        const std::optional<grouplist::ItemRecord> record = list.ReadItem(item);
        const std::vector<int> siblings = record ? catalogue::EntriesOf(list, record->groupHandle) : std::vector<int>();
        const auto at = std::find(siblings.begin(), siblings.end(), item);
        int neighbour = 0;
        if (at != siblings.end() && at + 1 != siblings.end())
            neighbour = *(at + 1);
        else if (at != siblings.end() && at != siblings.begin())
            neighbour = *(at - 1);
        const auto next = catalogue::ShortcutOf(list, neighbour);
        place.selectedGroup = shortcut->group;
        place.selectedEntry = next ? next->name : std::wstring();
        ReloadWith(place);
        return;
    }
    const auto folder = catalogue::GroupFolderOf(list, item);
    if (!folder)
        return;
    const int count = catalogue::ShortcutCount(list, item);
    const std::wstring question = count > 0 ? L"确定要删除分组" + Quoted(*folder) + L"及其中的 " +
                                                  std::to_wstring(count) + L" 个快捷方式吗？"
                                            : L"确定要删除分组" + Quoted(*folder) + L"吗？";
    if (!Ask(question))
        return;
    if (!catalogue::MoveToRecycleBin(m_settings.root + L"\\" + *folder)) {
        Tell(L"未能删除分组" + Quoted(*folder));
        return;
    }
    std::erase(place.expandedGroups, *folder);
    place.selectedGroup.clear();
    place.selectedEntry.clear();
    ReloadWith(place);
}

void ListActions::Relocate(int entry)
{
    const auto shortcut = catalogue::ShortcutOf(*m_settings.list, entry);
    if (!shortcut)
        return;
    const std::wstring program = m_settings.shell->ChooseProgram(m_settings.owner);
    if (program.empty())
        return;
    const catalogue::WriteResult written =
        catalogue::WriteShortcut(m_settings.root, shortcut->group, shortcut->name, program, m_settings.codePage,
                                 catalogue::IfNameTaken::Replace);
    if (written != catalogue::WriteResult::Written) {
        Tell(L"未能保存" + Quoted(shortcut->name));
        return;
    }
    catalogue::ListPlace place = m_settings.loader->CurrentPlace();
    place.selectedGroup = shortcut->group;
    place.selectedEntry = shortcut->name;
    ReloadWith(place);
}

void ListActions::StartAll(int group)
{
    grouplist::GroupedListControl& list = *m_settings.list;
    std::vector<std::wstring> programs;
    for (const int entry : catalogue::EntriesOf(list, group)) {
        const auto shortcut = catalogue::ShortcutOf(list, entry);
        // A program known to be gone would only fail unseen.
        if (shortcut && !shortcut->path.empty() && !list.IsEntryMissing(entry))
            programs.push_back(shortcut->path);
    }
    if (programs.empty())
        return;
    if (static_cast<int>(programs.size()) > kStartAllWithoutAsking) {
        const auto folder = catalogue::GroupFolderOf(list, group);
        if (!Ask(L"确定要启动" + Quoted(folder.value_or(std::wstring())) + L"中的全部 " +
                 std::to_wstring(programs.size()) + L" 个程序吗？"))
            return;
    }
    for (const std::wstring& program : programs)
        (void)m_settings.launcher->Open(program, catalogue::DirectoryOf(program));
}

void ListActions::NewGroup()
{
    const std::wstring name = catalogue::UnusedGroupName(m_settings.root);
    if (catalogue::CreateGroup(m_settings.root, name) != catalogue::WriteResult::Written) {
        Tell(L"未能新建分组" + Quoted(name));
        return;
    }
    catalogue::ListPlace place = m_settings.loader->CurrentPlace();
    place.selectedGroup = name;
    place.selectedEntry.clear();
    ReloadWith(place);
    // Group rows are in at once: the new one is selected, ready to be named.
    const int group = m_settings.list->SelectedHandle();
    if (group != 0 && catalogue::GroupFolderOf(*m_settings.list, group) == name)
        BeginRename(group);
}

void ListActions::Reload()
{
    ReloadWith(m_settings.loader->CurrentPlace());
}

void ListActions::ReloadWith(const catalogue::ListPlace& place)
{
    m_settings.loader->Load(m_settings.root, place);
}

void ListActions::Tell(const std::wstring& message) const
{
    m_settings.shell->Tell(m_settings.owner, message);
}

bool ListActions::Ask(const std::wstring& question) const
{
    return m_settings.shell->Ask(m_settings.owner, question);
}

} // namespace app
