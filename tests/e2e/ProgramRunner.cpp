#include "ProgramRunner.h"

#include "ProcessWindow.h"

#include "app/MainWindow.h"
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

ProgramCopy::ProgramCopy()
{
    const std::wstring from = BuildFolder() + L"\\Quillery.exe";
    EXPECT_TRUE(::CopyFileW(from.c_str(), PathOf(L"Quillery.exe").c_str(), FALSE)) << "build Quillery first";
}

void ProgramCopy::AddGroup(const std::wstring& group) const
{
    // Favorites may not exist yet: the program makes it on its first run.
    ::CreateDirectoryW(PathOf(L"Favorites").c_str(), nullptr);
    const std::wstring folder = PathOf(L"Favorites\\" + group);
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
    std::wstring commandLine = L"\"" + copy.PathOf(L"Quillery.exe") + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // The working folder is deliberately not the program's own: the program
    // must find its files next to its executable, wherever it is started from.
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         BuildFolder().c_str(), &startup, &info)) {
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

HWND RunningProgram::WaitForMainWindow(DWORD timeoutMs) const
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (HWND found = FindVisibleProcessWindow(m_processId, app::kMainWindowClass))
            return found;
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

namespace {
BOOL CALLBACK FindListBoxChild(HWND child, LPARAM param)
{
    wchar_t className[16]{};
    ::GetClassNameW(child, className, 16);
    if (::lstrcmpiW(className, L"ListBox") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}
} // namespace

HWND FindListBox(HWND window)
{
    HWND found = nullptr;
    ::EnumChildWindows(window, FindListBoxChild, reinterpret_cast<LPARAM>(&found));
    return found;
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
