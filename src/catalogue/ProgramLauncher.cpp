#include "catalogue/ProgramLauncher.h"

#include "base/FolderListing.h"
#include "base/LongPath.h"
#include "base/PathNames.h"

#include <windows.h>

#include <shellapi.h>

namespace catalogue {

namespace {

// The shell takes neither a file nor a working folder of MAX_PATH or more
// (under Wine ShellExecuteExW then fails with ERROR_PATH_NOT_FOUND).
[[nodiscard]] bool FitsShell(const std::wstring& path) noexcept
{
    return path.size() < MAX_PATH;
}

// The path itself where the shell takes it, else its 8.3 form where that
// fits; empty when neither does.
[[nodiscard]] std::wstring ShellForm(const std::wstring& path)
{
    if (FitsShell(path))
        return path;
    std::wstring shortPath = base::ShortPathName(path);
    return FitsShell(shortPath) ? shortPath : std::wstring();
}

[[nodiscard]] bool ShellOpen(const std::wstring& file, const std::wstring& folder, const wchar_t* verb = L"open")
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The calling thread ends as soon as the start is handed over: nothing
    // may be left for it to finish later.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

// The "\\?\" form of the program's 8.3 name where that is short, else of
// its full name. Wine's CreateProcessW expands any other image path to its
// long form in a MAX_PATH buffer and fails; Windows takes either.
[[nodiscard]] std::wstring ProgramImagePath(const std::wstring& path)
{
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    const std::wstring shortPath = base::ShortPathName(path);
    if (!shortPath.empty() && shortPath.size() + kPrefix.size() < MAX_PATH && !shortPath.starts_with(L"\\\\"))
        return std::wstring(kPrefix) + shortPath;
    return base::ExtendedPath(path);
}

[[nodiscard]] bool StartProgram(const std::wstring& path, const std::wstring& folder)
{
    const std::wstring image = ProgramImagePath(path);
    std::wstring commandLine = L"\"" + path + L"\"";
    // Started in our own folder rather than not at all when its own is too
    // long to be a working folder.
    const std::wstring workingFolder = ShellForm(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Shown as the shell would show it, a console program in a console of its own.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started))
        return false;
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

[[nodiscard]] bool IsProgram(const std::wstring& path)
{
    return base::HasExtension(path, L"exe") || base::HasExtension(path, L"com");
}

} // namespace

bool ShellLauncher::Open(const std::wstring& path, const std::wstring& folder)
{
    if (FitsShell(path) && FitsShell(folder))
        return ShellOpen(path, folder);
    // Past MAX_PATH a program is started directly; one that asks to run
    // elevated, and every document, go to the shell by their 8.3 names.
    if (IsProgram(path) && StartProgram(path, folder))
        return true;
    const std::wstring file = ShellForm(path);
    return ShellOpen(file.empty() ? path : file, ShellForm(folder));
}

bool ShellLauncher::OpenAsAdministrator(const std::wstring& path, const std::wstring& folder)
{
    // Only the shell elevates; a path it cannot take goes by its 8.3 name.
    const std::wstring file = ShellForm(path);
    return !file.empty() && ShellOpen(file, ShellForm(folder), L"runas");
}

} // namespace catalogue
