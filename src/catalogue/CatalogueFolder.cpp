#include "catalogue/CatalogueFolder.h"

#include "base/Handles.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "catalogue/CatalogueNames.h"

#include <windows.h>

namespace catalogue {

namespace {

enum class Want { Folders, Files };

template <typename Visit>
void Enumerate(const std::wstring& pattern, Want want, Visit visit)
{
    WIN32_FIND_DATAW data{};
    // Limiting to directories is only a hint to the file system; the
    // attribute is checked below all the same.
    base::UniqueFindHandle find(::FindFirstFileExW(
        pattern.c_str(), FindExInfoBasic, &data,
        want == Want::Folders ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return;
    do {
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == (want == Want::Folders))
            visit(std::wstring(data.cFileName));
    } while (::FindNextFileW(find.get(), &data));
}

} // namespace

std::vector<std::wstring> GroupFolders(const std::wstring& root)
{
    std::vector<std::wstring> names;
    Enumerate(root + L"\\*.*", Want::Folders, [&](std::wstring name) {
        // Drops "." and "..", and folders kept out of sight on purpose.
        if (!name.empty() && name.front() != L'.')
            names.push_back(std::move(name));
    });
    return names;
}

std::vector<std::wstring> FilesWithExtension(const std::wstring& folder, const std::wstring& extension)
{
    std::vector<std::wstring> names;
    Enumerate(folder + L"\\*." + extension, Want::Files, [&](std::wstring name) {
        if (HasExtension(name, extension))
            names.push_back(std::move(name));
    });
    return names;
}

int CountFiles(const std::wstring& folder, const std::wstring& extension)
{
    return static_cast<int>(FilesWithExtension(folder, extension).size());
}

std::wstring ReadShortcutPath(const std::wstring& file, unsigned codePage)
{
    std::optional<std::string> bytes = base::ReadFileBytes(file);
    if (!bytes)
        return {};
    if (const auto zero = bytes->find('\0'); zero != std::string::npos)
        bytes->resize(zero);
    return base::DecodeFileText(*bytes, codePage);
}

} // namespace catalogue
