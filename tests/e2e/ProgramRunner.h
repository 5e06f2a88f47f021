#pragma once
// Runs the built Quillery.exe from a fresh temporary folder, as a user
// would run a copy of it, and finds its main window.

#include "FolderTree.h"
#include "ProgramProcess.h"

#include <functional>
#include <optional>
#include <string>

namespace testing_support {

// How long a test waits for what a user would see at once. Generous: a
// loaded CI machine under Wine can be slow, and the waits poll.
inline constexpr DWORD kPatience = 10000;

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

// The copy started from the build folder: the program must find its files
// next to its executable, wherever it is started from.
class RunningProgram : public ProgramProcess {
public:
    explicit RunningProgram(const ProgramCopy& copy);

    // The process's visible main window, waited for up to the time-out.
    [[nodiscard]] HWND WaitForMainWindow(DWORD timeoutMs = 10000) const;
};

[[nodiscard]] RECT WindowRect(HWND window);

// The list box somewhere among a window's descendants.
[[nodiscard]] HWND FindListBox(HWND window);

// A list box's row count, and a row's text.
[[nodiscard]] int RowCount(HWND list);
[[nodiscard]] std::wstring RowText(HWND list, int row);

// Polls until the condition holds; false if it still does not after the time-out.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Makes the window the foreground one, as the user's click would, and
// waits until it is: typed keys go to it from then on.
[[nodiscard]] bool BringToFront(HWND window);

} // namespace testing_support
