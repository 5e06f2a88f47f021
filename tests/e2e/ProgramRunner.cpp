#include "ProgramRunner.h"

#include "ProcessWindow.h"

#include "app/MainWindow.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

namespace testing_support {

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

RunningProgram::RunningProgram(const ProgramCopy& copy) : ProgramProcess(copy.PathOf(L"Quillery.exe"), BuildFolder())
{
}

namespace {
constexpr DWORD kSettleMs = 500;
} // namespace

HWND RunningProgram::WaitForMainWindow(DWORD timeoutMs) const
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (HWND found = FindVisibleProcessWindow(ProcessId(), app::kMainWindowClass)) {
            // Under Wine a window shown a moment ago can still miss real
            // input while the program's start-up work runs (and more so
            // right after the previous test's program ended): the tests'
            // clicks wait until it has settled.
            (void)::WaitForInputIdle(Process(), 5000);
            ::Sleep(kSettleMs);
            return found;
        }
        if (::WaitForSingleObject(Process(), 50) == WAIT_OBJECT_0)
            return nullptr; // it ended without showing a window
    } while (::GetTickCount64() < deadline);
    return nullptr;
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

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
}

std::wstring RowText(HWND list, int row)
{
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
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

bool BringToFront(HWND window)
{
    ::SetForegroundWindow(window);
    return WaitUntil([window] { return ::GetForegroundWindow() == window; }, kPatience);
}

} // namespace testing_support
