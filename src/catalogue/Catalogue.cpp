#include "catalogue/Catalogue.h"

#include "base/Stopwatch.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/ProgramIcons.h"

namespace catalogue {

void LoadCatalogue(grouplist::GroupedListControl& list, const std::wstring& root, HWND dcWindow, LoadStats* stats)
{
    if (!list.IsCreated())
        return;
    (void)list.DeleteGroup();
    const std::vector<int> noServiceIcons;
    for (const std::wstring& folder : GroupFolders(root)) {
        const std::wstring folderPath = root + L"\\" + folder;
        // One listing gives both the count and the entries, so "[n]" always
        // matches what the group holds.
        const std::vector<std::wstring> files = FilesWithExtension(folderPath, kShortcutExtension);
        const int group =
            list.AddGroup(folder + L" [" + std::to_wstring(files.size()) + L"]", false, 0, 0, L"");
        if (group == 0)
            continue;
        if (stats)
            ++stats->groups;

        for (const std::wstring& file : files) {
            grouplist::EntryInfo entry;
            entry.groupHandle = group;
            entry.signature = ReadShortcutPath(folderPath + L"\\" + file, CP_ACP);
            const base::Stopwatch icon;
            entry.avatarImage = ProgramIconPicture(entry.signature, dcWindow);
            if (stats)
                stats->iconMs += icon.ElapsedMs();
            entry.name = L" " + BaseName(file);
            entry.online = true;
            if (list.AddEntry(entry, &noServiceIcons) != 0 && stats)
                ++stats->entries;
        }
    }
}

bool LaunchSelectedEntry(grouplist::GroupedListControl& list, ProgramLauncher& launcher)
{
    grouplist::EntryInfo entry;
    (void)list.GetSelectedEntry(entry);
    if (entry.signature.empty())
        return false; // nothing selected, a group row, or a shortcut without a path
    return launcher.Open(entry.signature, DirectoryOf(entry.signature));
}

} // namespace catalogue
