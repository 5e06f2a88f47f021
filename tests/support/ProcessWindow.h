#pragma once
// Finding another process's top-level window by its class, for the programs
// that start the built executable and look at what it shows.

#include <windows.h>

#include <string_view>

namespace testing_support {

namespace detail {
struct WindowSearch {
    DWORD processId;
    std::wstring_view className;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[64]{};
    ::GetClassNameW(window, name, 64);
    if (owner != search->processId || !::IsWindowVisible(window) || search->className != name)
        return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace detail

// The first visible top-level window of the process with the class; null if none.
[[nodiscard]] inline HWND FindVisibleProcessWindow(DWORD processId, std::wstring_view className)
{
    detail::WindowSearch search{processId, className, nullptr};
    ::EnumWindows(detail::MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace testing_support
