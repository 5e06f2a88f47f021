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

} // namespace bench
