#include "base/FolderListing.h"

#include "base/PathParts.h"

#include "base/Handles.h"
#include "base/LongPath.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace base {

namespace {

enum class Want { Folders, Files };

template <typename Visit>
void Enumerate(const std::wstring& pattern, Want want, Visit visit)
{
    WIN32_FIND_DATAW data{};
    // Limiting to directories is only a hint to the file system; the
    // attribute is checked below all the same.
    UniqueFindHandle find(::FindFirstFileExW(
        ExtendedPath(pattern).c_str(), FindExInfoBasic, &data,
        want == Want::Folders ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return;
    do {
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == (want == Want::Folders))
            visit(data);
    } while (::FindNextFileW(find.get(), &data));
}

} // namespace

std::vector<std::wstring> SubfolderNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    Enumerate(folder + L"\\*.*", Want::Folders, [&](const WIN32_FIND_DATAW& data) {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..")
            names.emplace_back(name);
    });
    return names;
}

std::vector<ListedFile> ListFilesWithExtension(const std::wstring& folder, const std::wstring& extension)
{
    std::vector<ListedFile> files;
    Enumerate(folder + L"\\*." + extension, Want::Files, [&](const WIN32_FIND_DATAW& data) {
        if (!HasExtension(data.cFileName, extension))
            return;
        files.push_back({data.cFileName, JoinHalves(data.nFileSizeHigh, data.nFileSizeLow),
                         JoinHalves(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)});
    });
    return files;
}

std::vector<std::wstring> FilesWithExtension(const std::wstring& folder, const std::wstring& extension)
{
    std::vector<std::wstring> names;
    for (ListedFile& file : ListFilesWithExtension(folder, extension))
        names.push_back(std::move(file.name));
    return names;
}

bool HasExtension(std::wstring_view fileName, std::wstring_view extension)
{
    const auto stem = StemOf(fileName);
    if (!stem)
        return false;
    const std::wstring_view actual = fileName.substr(stem->size() + 1);
    return std::ranges::equal(actual, extension, [](wchar_t a, wchar_t b) {
        return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
    });
}

} // namespace base
