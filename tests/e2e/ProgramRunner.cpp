#include "ProgramRunner.h"

#include "ProcessWindow.h"

#include "app/MainWindow.h"
#include "base/LongPath.h"
#include "base/PathNames.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

namespace testing_support {

std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return base::FolderOf(path);
}

ProgramCopy::ProgramCopy() : ProgramCopy(std::wstring()) {}

ProgramCopy::ProgramCopy(const std::wstring& subfolder)
    : m_programFolder(subfolder.empty() ? m_folder.Path() : m_folder.Path() + L"\\" + subfolder)
{
    EXPECT_TRUE(CreateFolders(m_programFolder));
    const std::wstring from = BuildFolder() + L"\\Quillery.exe";
    EXPECT_TRUE(::CopyFileW(from.c_str(), base::ExtendedPath(PathOf(L"Quillery.exe")).c_str(), FALSE))
        << "build Quillery first";
}

void ProgramCopy::AddGroup(const std::wstring& group) const
{
    // Favorites may not exist yet: the program makes it on its first run.
    ::CreateDirectoryW(base::ExtendedPath(PathOf(L"Favorites")).c_str(), nullptr);
    const std::wstring folder = base::ExtendedPath(PathOf(L"Favorites\\" + group));
    EXPECT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
}

void ProgramCopy::AddShortcut(const std::wstring& group, const std::wstring& name, const std::wstring& target,
                              unsigned codePage) const
{
    AddGroup(group);
    const std::optional<std::string> bytes = base::NarrowExact(target, codePage);
    ASSERT_TRUE(bytes.has_value()) << "the code page cannot hold the path";
    // Whole or not at all: a running program may read the folder meanwhile.
    EXPECT_TRUE(base::WriteFileAtomic(PathOf(L"Favorites\\" + group + L"\\" + name + L".txt"), *bytes));
}

RunningProgram::RunningProgram(const ProgramCopy& copy)
{
    const std::wstring program = copy.PathOf(L"Quillery.exe");
    std::wstring commandLine = L"\"" + program + L"\"";
    // Wine starts a program past MAX_PATH only by the "\\?\" form of its 8.3 name.
    const std::wstring image = program.size() < MAX_PATH ? std::wstring() : L"\\\\?\\" + base::ShortPathName(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // The working folder is deliberately not the program's own: the program
    // must find its files next to its executable, wherever it is started from.
    if (::CreateProcessW(image.empty() ? nullptr : image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                         nullptr, BuildFolder().c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        m_process.reset(info.hProcess);
        m_processId = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram()
{
    if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process.get(), 99);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

namespace {
constexpr DWORD kSettleMs = 500;
} // namespace

HWND RunningProgram::WaitForMainWindow(DWORD timeoutMs) const
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (HWND found = FindVisibleProcessWindow(m_processId, app::kMainWindowClass)) {
            // Under Wine a window shown a moment ago can still miss real
            // input while the program's start-up work runs (and more so
            // right after the previous test's program ended): the tests'
            // clicks wait until it has settled.
            (void)::WaitForInputIdle(m_process.get(), 5000);
            ::Sleep(kSettleMs);
            return found;
        }
        if (::WaitForSingleObject(m_process.get(), 50) == WAIT_OBJECT_0)
            return nullptr; // it ended without showing a window
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

std::optional<DWORD> RunningProgram::WaitForExit(DWORD timeoutMs) const
{
    if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

RECT WindowRect(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

HWND FindListBox(HWND window)
{
    return FindChildOfClass(window, L"ListBox");
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(20);
    }
    return true;
}

} // namespace testing_support
