#pragma once
// The window messages the program's parts report with, numbered here where
// the parts are put together, so no two of them ever pick the same number.
// Each part is handed its number; none of them knows the others'.

#include <windows.h>

namespace app {

// The notification-area icon reports mouse events on itself with this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// The weather worker says a fetch's result waits in its mailbox.
inline constexpr UINT kWeatherResultMessage = WM_APP + 2;

} // namespace app
