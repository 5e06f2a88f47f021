#pragma once
// The window messages the program's parts report with, and the timers they
// run on the main window, numbered here where the parts are put together,
// so no two of them ever pick the same number. Each part is handed its
// number or takes its own from here; none of them knows the others'.

#include <windows.h>

namespace app {

// The notification-area icon reports mouse events on itself with this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// The weather worker says a fetch's result waits in its mailbox.
inline constexpr UINT kWeatherResultMessage = WM_APP + 2;

// Timers on the main window.
inline constexpr UINT_PTR kDockTimer = 1;            // the docking check
inline constexpr UINT_PTR kMusicTimer = 2;           // the next track after one ends
inline constexpr UINT_PTR kWeatherDeadlineTimer = 3; // a fetch that takes too long
inline constexpr UINT_PTR kTitleNoticeTimer = 5;     // a word over the title ends

} // namespace app
