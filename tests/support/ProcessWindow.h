#pragma once
// Finding another process's top-level window by its class, and a child by
// its class, for the programs that start the built executable and look at
// what it shows.

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

struct ChildSearch {
    std::wstring_view className;
    HWND found;
};

inline BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64]{};
    ::GetClassNameW(child, name, 64);
    if (::CompareStringOrdinal(name, -1, search->className.data(), static_cast<int>(search->className.size()),
                               TRUE) != CSTR_EQUAL)
        return TRUE;
    search->found = child;
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

// The first descendant of window whose class is className (any case); null if none.
[[nodiscard]] inline HWND FindChildOfClass(HWND window, std::wstring_view className)
{
    detail::ChildSearch search{className, nullptr};
    ::EnumChildWindows(window, detail::MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace testing_support
