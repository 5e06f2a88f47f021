#pragma once
// Elapsed time in milliseconds from the performance counter.

#include <windows.h>

namespace base {

class Stopwatch {
public:
    Stopwatch() noexcept
    {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    [[nodiscard]] double ElapsedMs() const noexcept
    {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) * 1000.0 /
               static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency{};
    LARGE_INTEGER m_start{};
};

} // namespace base
