#include "base/FolderListing.h"

#include "base/PathParts.h"

#include "base/Handles.h"
#include "base/LongPath.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace base {

std::vector<std::wstring> SubfolderNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    // Limiting to directories is only a hint to the file system; the
    // attribute is checked below all the same.
    const UniqueFindHandle find(::FindFirstFileExW(ExtendedPath(folder + L"\\*.*").c_str(), FindExInfoBasic, &data,
                                                   FindExSearchLimitToDirectories, nullptr, 0));
    if (!find)
        return names;
    do {
        const std::wstring_view name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..")
            names.emplace_back(name);
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

std::vector<ListedFile> ListFilesWithExtension(const std::wstring& folder, const std::wstring& extension)
{
    std::vector<ListedFile> files;
    // Read through a handle to the folder rather than a find pattern: that
    // listing also gives each file's number on its volume.
    const UniqueFileHandle handle(::CreateFileW(ExtendedPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return files;
    std::vector<std::uint64_t> buffer(8192); // 64 KiB, aligned as the records want
    const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
    while (::GetFileInformationByHandleEx(handle.get(), FileIdBothDirectoryInfo, buffer.data(), bytes)) {
        const auto* record = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
            const std::wstring_view name(info.FileName, info.FileNameLength / sizeof(wchar_t));
            if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && HasExtension(name, extension))
                files.push_back({std::wstring(name), static_cast<std::uint64_t>(info.EndOfFile.QuadPart),
                                 static_cast<std::uint64_t>(info.LastWriteTime.QuadPart),
                                 static_cast<std::uint64_t>(info.FileId.QuadPart)});
            if (info.NextEntryOffset == 0)
                break;
            record += info.NextEntryOffset;
        }
    }
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
