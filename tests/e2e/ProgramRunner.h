#pragma once
// Runs the built Quillery.exe from a fresh temporary folder, as a user
// would run a copy of it, and finds its main window.

#include "FolderTree.h"

#include "base/Handles.h"

#include <functional>
#include <optional>
#include <string>

namespace testing_support {

// The folder this test program runs from, where Quillery.exe is built too.
std::wstring BuildFolder();

class ProgramCopy {
public:
    ProgramCopy(); // copies Quillery.exe into a new temporary folder
    // ... into subfolder of one, made with its parents at any depth.
    explicit ProgramCopy(const std::wstring& subfolder);
    [[nodiscard]] const std::wstring& Folder() const { return m_programFolder; }
    [[nodiscard]] std::wstring PathOf(const std::wstring& name) const { return Folder() + L"\\" + name; }

    // The catalogue beside the copy: a group is a folder in Favorites, a
    // shortcut a .txt file in it holding a program's path in the code page.
    void AddGroup(const std::wstring& group) const;
    void AddShortcut(const std::wstring& group, const std::wstring& name, const std::wstring& target,
                     unsigned codePage = 936) const;

private:
    DeepTempFolder m_folder;
    std::wstring m_programFolder;
};

class RunningProgram {
public:
    explicit RunningProgram(const ProgramCopy& copy);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram(); // ends the process if a test left it running

    [[nodiscard]] bool Started() const { return static_cast<bool>(m_process); }
    [[nodiscard]] DWORD ProcessId() const { return m_processId; }

    // The process's visible main window, waited for up to the time-out.
    [[nodiscard]] HWND WaitForMainWindow(DWORD timeoutMs = 10000) const;
    // The exit code, or nothing if the process is still running after the time-out.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000) const;

private:
    base::UniqueKernelHandle m_process;
    DWORD m_processId = 0;
};

[[nodiscard]] RECT WindowRect(HWND window);

// The list box somewhere among a window's descendants.
[[nodiscard]] HWND FindListBox(HWND window);

// Polls until the condition holds; false if it still does not after the time-out.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

} // namespace testing_support
