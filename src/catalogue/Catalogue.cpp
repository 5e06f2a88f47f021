#include "catalogue/Catalogue.h"

#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/ProgramIcons.h"

#include <shellapi.h>

namespace catalogue {

namespace {

class Stopwatch {
public:
    Stopwatch() noexcept { ::QueryPerformanceCounter(&m_start); }
    [[nodiscard]] double ElapsedMs() const noexcept
    {
        LARGE_INTEGER now{}, frequency{};
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start{};
};

} // namespace

void LoadCatalogue(grouplist::GroupedListControl& list, const std::wstring& root, HWND dcWindow, LoadStats* stats)
{
    (void)list.DeleteGroup();
    for (const std::wstring& folder : GroupFolders(root)) {
        const std::wstring folderPath = root + L"\\" + folder;
        const int count = CountFiles(folderPath, kShortcutExtension);
        const int group = list.AddGroup(folder + L" [" + std::to_wstring(count) + L"]", false, 0, 0, L"");
        if (group == 0)
            continue; // the list refused (not created): nothing to put entries in
        if (stats)
            ++stats->groups;

        for (const std::wstring& file : FilesWithExtension(folderPath, kShortcutExtension)) {
            grouplist::EntryInfo entry;
            entry.groupHandle = group;
            entry.signature = ReadShortcutPath(folderPath + L"\\" + file, CP_ACP);
            if (stats) {
                const Stopwatch icon;
                entry.avatarImage = ProgramIconPicture(entry.signature, dcWindow);
                stats->iconMs += icon.ElapsedMs();
            } else {
                entry.avatarImage = ProgramIconPicture(entry.signature, dcWindow);
            }
            entry.name = L" " + BaseName(file);
            entry.online = true;
            const std::vector<int> noServiceIcons;
            if (list.AddEntry(entry, &noServiceIcons) != 0 && stats)
                ++stats->entries;
        }
    }
}

void ShellLauncher::Open(const std::wstring& path, const std::wstring& folder)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error dialogs: a shortcut that cannot start does nothing, quietly.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    (void)::ShellExecuteExW(&info);
}

void LaunchSelectedEntry(grouplist::GroupedListControl& list, ProgramLauncher& launcher)
{
    grouplist::EntryInfo entry;
    (void)list.GetSelectedEntry(entry);
    if (entry.signature.empty())
        return; // nothing selected, a group row, or a shortcut without a path
    launcher.Open(entry.signature, DirectoryOf(entry.signature));
}

} // namespace catalogue
