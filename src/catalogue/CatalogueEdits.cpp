#include "catalogue/CatalogueEdits.h"

#include "base/FolderListing.h"
#include "base/LongPath.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueWriter.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>

namespace catalogue {

namespace {

constexpr wchar_t kNewGroupName[] = L"新建分组";
constexpr int kMostGroupNumbers = 10000;

enum class Kind { Nothing, File, Folder };

[[nodiscard]] Kind KindOf(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(base::ExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Kind::Nothing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::Folder : Kind::File;
}

[[nodiscard]] bool Exists(const std::wstring& path)
{
    return KindOf(path) != Kind::Nothing;
}

// A name that can only address one item right inside its folder. Names of
// what already exists are not held to CheckName: files made elsewhere may
// end in a space, say, and can still be renamed.
[[nodiscard]] bool NamesOneItem(std::wstring_view name) noexcept
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

[[nodiscard]] bool MoveItem(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(base::ExtendedPath(from).c_str(), base::ExtendedPath(to).c_str(), 0) != FALSE;
}

// A change of case goes by way of a name of its own: some file systems (and
// Wine's) take a move onto the same name in another case as a move onto
// itself, and change nothing. The stop-over begins with "." and has no
// shortcut extension, so no listing of the catalogue shows it.
[[nodiscard]] EditResult MoveChangingCase(const std::wstring& folder, const std::wstring& from, const std::wstring& to)
{
    static std::atomic<unsigned> counter = 0;
    std::wstring stopOver;
    do {
        stopOver = folder + L".renaming-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++counter);
    } while (Exists(stopOver));
    if (!MoveItem(from, stopOver))
        return EditResult::Failed;
    if (MoveItem(stopOver, to))
        return EditResult::Done;
    // Put back as it was: a rename that fails leaves nothing changed.
    (void)MoveItem(stopOver, from);
    return EditResult::Failed;
}

// A move within one folder: never over an existing item, except the very
// item itself when only the case of its name changes.
[[nodiscard]] EditResult Move(const std::wstring& folder, std::wstring_view from, std::wstring_view to, Kind kind,
                              const std::wstring& extension)
{
    const std::wstring source = folder + std::wstring(from) + extension;
    const std::wstring target = folder + std::wstring(to) + extension;
    if (KindOf(source) != kind)
        return EditResult::Missing;
    if (from == to)
        return EditResult::Done;
    if (SameFileName(from, to))
        return MoveChangingCase(folder, source, target);
    if (Exists(target))
        return EditResult::NameTaken;
    if (MoveItem(source, target))
        return EditResult::Done;
    const DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? EditResult::NameTaken : EditResult::Failed;
}

[[nodiscard]] bool IsDriveLetter(wchar_t c) noexcept
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

[[nodiscard]] bool IsAbsoluteDrivePath(std::wstring_view path) noexcept
{
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

// "\\server\share\...", but not a device path such as "\\.\C:\...".
[[nodiscard]] bool IsUncPath(std::wstring_view path) noexcept
{
    const auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    return path.size() > 2 && slash(path[0]) && slash(path[1]) && path[2] != L'.' && path[2] != L'?';
}

} // namespace

bool SameFileName(std::wstring_view a, std::wstring_view b) noexcept
{
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

EditResult RenameShortcut(const std::wstring& root, std::wstring_view group, std::wstring_view from,
                          std::wstring_view to)
{
    if (!IsSafeName(to))
        return EditResult::RefusedName;
    if (!NamesOneItem(group) || !NamesOneItem(from))
        return EditResult::Missing;
    const std::wstring extension = std::wstring(L".") + kShortcutExtension;
    return Move(root + L"\\" + std::wstring(group) + L"\\", from, to, Kind::File, extension);
}

EditResult RenameGroup(const std::wstring& root, std::wstring_view from, std::wstring_view to)
{
    if (CheckGroupName(to) != NameProblem::None)
        return EditResult::RefusedName;
    if (!NamesOneItem(from))
        return EditResult::Missing;
    return Move(root + L"\\", from, to, Kind::Folder, L"");
}

bool MoveToRecycleBin(const std::wstring& path)
{
    // The shell takes a list of paths ended by an empty one, and no "\\?\".
    std::wstring list = base::WithoutExtendedPrefix(path);
    std::replace(list.begin(), list.end(), L'/', L'\\');
    while (list.size() > 3 && list.back() == L'\\')
        list.pop_back();
    const bool unc = list.size() > 2 && list[0] == L'\\' && list[1] == L'\\';
    // A relative path would be taken from wherever the process stands, and
    // the shell expands wildcards: either could send other things away.
    if (!(IsAbsoluteDrivePath(list) || unc) || list.find_first_of(L"*?") != std::wstring::npos ||
        list.size() >= MAX_PATH || !Exists(list))
        return false;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted && !Exists(path);
}

std::wstring UnusedGroupName(const std::wstring& root)
{
    std::wstring name = kNewGroupName;
    for (int number = 2; Exists(root + L"\\" + name); ++number) {
        if (number > kMostGroupNumbers)
            return {};
        name = std::wstring(kNewGroupName) + L" (" + std::to_wstring(number) + L")";
    }
    return name;
}

unsigned DriveTypes::Of(wchar_t letter)
{
    if (!IsDriveLetter(letter))
        return DRIVE_NO_ROOT_DIR;
    unsigned& type = m_types[static_cast<std::size_t>((letter | 0x20) - L'a')];
    if (type == DRIVE_UNKNOWN) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        type = ::GetDriveTypeW(root);
    }
    return type;
}

bool IsMissingProgram(const std::wstring& path)
{
    DriveTypes drives;
    return IsMissingProgram(path, drives);
}

bool IsMissingProgram(const std::wstring& path, DriveTypes& drives)
{
    const std::wstring plain = base::WithoutExtendedPrefix(path);
    if (!IsAbsoluteDrivePath(plain))
        return false;
    switch (drives.Of(plain[0])) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_RAMDISK:
        break;
    default:
        // A share may take its time to answer, a CD drive to spin up, and
        // a letter that names nothing may be a stick not plugged in.
        return false;
    }
    if (::GetFileAttributesW(base::ExtendedPath(plain).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsOnShare(const std::wstring& path, DriveTypes& drives)
{
    const std::wstring plain = base::WithoutExtendedPrefix(path);
    return IsUncPath(plain) || (IsAbsoluteDrivePath(plain) && drives.Of(plain[0]) == DRIVE_REMOTE);
}

ProgramFileCheck CheckProgramFile(const std::wstring& path)
{
    const std::wstring plain = base::WithoutExtendedPrefix(path);
    if (!IsAbsoluteDrivePath(plain) && !IsUncPath(plain))
        return {};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(base::ExtendedPath(plain).c_str(), GetFileExInfoStandard, &data)) {
        return {{.known = true,
                 .size = base::JoinHalves(data.nFileSizeHigh, data.nFileSizeLow),
                 .writeTime = base::JoinHalves(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)},
                true};
    }
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_ACCESS_DENIED:
        return {}; // an answer: it is not there, or not for us to see
    default:
        // An unreachable server, a share gone, a time-out, a drive not ready.
        return {{}, false};
    }
}

} // namespace catalogue
