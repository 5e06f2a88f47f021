#pragma once
// Calling a host's handler from inside a window procedure. The handler may
// destroy the window (and the object that called it), so the caller learns
// whether the window is still alive before it touches anything again; and an
// exception stops here rather than unwinding through the system's code.

#include <windows.h>

#include <utility>

namespace base {

// Calls handler(args...) when it is set; true when isAlive() still holds
// afterwards. The handler is copied first: it may replace itself while it runs.
template <typename Handler, typename IsAlive, typename... Args>
[[nodiscard]] bool CallAndCheckAlive(const Handler& handler, IsAlive&& isAlive, Args&&... args) noexcept
{
    if (handler) {
        try {
            Handler call = handler;
            call(std::forward<Args>(args)...);
        } catch (...) {
        }
    }
    return isAlive();
}

} // namespace base
