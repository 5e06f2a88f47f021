#pragma once
// What every benchmark program needs besides its own measurements.

#include "base/Stopwatch.h"

#include <windows.h>

namespace bench {

using base::Stopwatch;

// Keeps anything the windows posted from piling up into the next timing.
inline void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A plain window class for the windows that host the controls measured.
[[nodiscard]] inline bool RegisterHostClass(const wchar_t* name)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) != 0;
}

} // namespace bench
