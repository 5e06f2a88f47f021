#pragma once
// Folders nested past MAX_PATH: made with their parents, and removed with
// everything in them, which SHFileOperationW (behind TempFolder) cannot do.

#include "TempFolder.h"

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/TextFile.h"

#include <windows.h>

#include <string>

namespace testing_support {

[[nodiscard]] inline bool CreateFolders(const std::wstring& path)
{
    const std::wstring extended = base::ExtendedPath(path);
    if (::CreateDirectoryW(extended.c_str(), nullptr))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS)
        return (::GetFileAttributesW(extended.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring parent = base::FolderOf(path);
    return error == ERROR_PATH_NOT_FOUND && !parent.empty() && CreateFolders(parent) &&
           ::CreateDirectoryW(extended.c_str(), nullptr);
}

inline void RemoveFolderTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data{};
    if (const base::UniqueFindHandle find(::FindFirstFileW(base::ExtendedPath(path + L"\\*").c_str(), &data)); find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path + L"\\" + name);
            else
                ::DeleteFileW(base::ExtendedPath(path + L"\\" + name).c_str());
        } while (::FindNextFileW(find.get(), &data));
    }
    ::RemoveDirectoryW(base::ExtendedPath(path).c_str());
}

// A TempFolder whose contents may lie past MAX_PATH.
class DeepTempFolder : public TempFolder {
public:
    ~DeepTempFolder() { RemoveFolderTree(Path()); }
};

} // namespace testing_support
