#pragma once
// Waiting in a test while this thread's windows keep working: messages are
// dispatched as they come, as the program's own loop would.

#include <windows.h>

namespace testing_support {

// Pumps until the condition holds; false if it still does not after the time-out.
template <typename Condition>
bool PumpUntil(Condition done, DWORD patienceMs = 10000)
{
    const ULONGLONG start = ::GetTickCount64();
    while (!done()) {
        if (::GetTickCount64() - start > patienceMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            ::DispatchMessageW(&msg);
    }
    return true;
}

// Pumps for a while, for what may come (or must not).
inline void PumpFor(DWORD ms)
{
    (void)PumpUntil([] { return false; }, ms);
}

} // namespace testing_support
