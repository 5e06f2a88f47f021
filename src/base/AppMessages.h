#pragma once
// Every private window message of the program, in one place, so no two
// subsystems ever pick the same number.

#include <windows.h>

namespace base {

// The notification-area icon reports mouse events on itself with this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// The weather worker says its result waits in the weather mailbox; wParam
// is the fetch's number, lParam is 0.
inline constexpr UINT kWeatherResultMessage = WM_APP + 2;

// The catalogue's icon worker says that pictures wait to be taken.
inline constexpr UINT kIconsReadyMessage = WM_APP + 3;

} // namespace base
