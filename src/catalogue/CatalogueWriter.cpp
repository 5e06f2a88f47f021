#include "catalogue/CatalogueWriter.h"

#include "base/LongPath.h"
#include "base/TextFile.h"
#include "catalogue/CatalogueFolder.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace catalogue {

namespace {

constexpr std::wstring_view kForbidden = L"\\/:*?\"<>|";

// CONIN$, CONOUT$ and the superscript ports are devices too.
constexpr std::array<std::wstring_view, 32> kDevices = {
    L"CON",  L"PRN",  L"AUX",  L"NUL",  L"CONIN$", L"CONOUT$", L"COM0", L"COM1", L"COM2", L"COM3", L"COM4",
    L"COM5", L"COM6", L"COM7", L"COM8", L"COM9",   L"COM¹",    L"COM²", L"COM³", L"LPT0", L"LPT1", L"LPT2",
    L"LPT3", L"LPT4", L"LPT5", L"LPT6", L"LPT7",   L"LPT8",    L"LPT9", L"LPT¹", L"LPT²", L"LPT³"};

[[nodiscard]] bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept
{
    const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) {
               return upper(x) == upper(y);
           });
}

[[nodiscard]] bool IsDeviceName(std::wstring_view name) noexcept
{
    // Whatever follows the first dot does not matter, nor spaces before it.
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    return std::ranges::any_of(kDevices, [&](std::wstring_view device) { return SameIgnoringAsciiCase(stem, device); });
}

[[nodiscard]] bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(base::ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

[[nodiscard]] bool IsFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(base::ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

NameProblem CheckName(std::wstring_view name) noexcept
{
    if (name.empty())
        return NameProblem::Empty;
    if (std::ranges::any_of(name, [](wchar_t c) { return c < 0x20 || kForbidden.find(c) != std::wstring_view::npos; }))
        return NameProblem::ForbiddenCharacter;
    if (name == L"." || name == L"..")
        return NameProblem::DotName;
    if (name.back() == L'.' || name.back() == L' ')
        return NameProblem::TrailingDotOrSpace;
    if (IsDeviceName(name))
        return NameProblem::DeviceName;
    return NameProblem::None;
}

NameProblem CheckGroupName(std::wstring_view name) noexcept
{
    const NameProblem problem = CheckName(name);
    if (problem == NameProblem::None && name.front() == L'.')
        return NameProblem::LeadingDot;
    return problem;
}

WriteResult CreateGroup(const std::wstring& root, std::wstring_view name)
{
    if (CheckGroupName(name) != NameProblem::None)
        return WriteResult::RefusedName;
    const std::wstring folder = root + L"\\" + std::wstring(name);
    if (::CreateDirectoryW(base::ExtendedPath(folder).c_str(), nullptr))
        return WriteResult::Written;
    // A file of that name is no group.
    return ::GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(folder) ? WriteResult::Written : WriteResult::Failed;
}

WriteResult WriteShortcut(const std::wstring& root, std::wstring_view group, std::wstring_view name,
                          std::wstring_view path, unsigned codePage, IfNameTaken ifTaken)
{
    if (!IsSafeName(name))
        return WriteResult::RefusedName;
    if (CheckGroupName(group) != NameProblem::None)
        return WriteResult::RefusedGroup;
    const std::wstring folder = root + L"\\" + std::wstring(group);
    if (!IsFolder(folder))
        return WriteResult::MissingGroup;
    const std::wstring file = folder + L"\\" + std::wstring(name) + L"." + kShortcutExtension;
    // The file system finds "Setup.txt" for "setup.txt", as the user would.
    if (IsFile(file)) {
        if (ReadShortcutPath(file, codePage) == path)
            return WriteResult::Written;
        if (ifTaken == IfNameTaken::Keep)
            return WriteResult::NameTaken;
    }
    return base::WriteTextFile(file, path, codePage) ? WriteResult::Written : WriteResult::Failed;
}

} // namespace catalogue
