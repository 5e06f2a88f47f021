#pragma once
// Every private window message of the program, in one place, so no two
// subsystems ever pick the same number.

#include <windows.h>

namespace base {

// The notification-area icon reports mouse events on itself with this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

} // namespace base
