#pragma once
// Keeps WM_MOUSELEAVE coming for one window. The system tracks only while
// the pointer is really over the window: a move that arrives under capture
// from outside arms nothing, and another window's tracking takes it over.
// So every move asks whether tracking is in place and arms it again when not.

#include <windows.h>

namespace base {

class MouseLeaveTracker {
public:
    // Call on every WM_MOUSEMOVE of the window. True when tracking is in place.
    static bool Rearm(HWND window) noexcept
    {
        if (IsTracking(window))
            return true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        return ::TrackMouseEvent(&track) && IsTracking(window);
    }

private:
    static bool IsTracking(HWND window) noexcept
    {
        TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
        return ::TrackMouseEvent(&query) && query.hwndTrack == window && (query.dwFlags & TME_LEAVE);
    }
};

} // namespace base
