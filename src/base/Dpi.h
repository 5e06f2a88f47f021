#pragma once
// Display scale. Every size is designed in pixels of a 96-DPI screen and
// scaled by the window's DPI / 96 through Scaled, so neighbouring boxes
// round the same way and a size is the same wherever it is used.

#include <windows.h>

namespace base {

inline constexpr int kDesignDpi = 96;

// MulDiv rounds halves away from zero: 275 at 144 DPI is 413.
[[nodiscard]] inline int Scaled(int designPixels, int dpi) noexcept
{
    return ::MulDiv(designPixels, dpi, kDesignDpi);
}

// A design rectangle at a scale: its corner and its size are scaled each on
// their own, so a box of the same design size has the same scaled size
// wherever it stands.
[[nodiscard]] inline RECT ScaledRect(const RECT& design, int dpi) noexcept
{
    const int left = Scaled(design.left, dpi);
    const int top = Scaled(design.top, dpi);
    return {left, top, left + Scaled(design.right - design.left, dpi), top + Scaled(design.bottom - design.top, dpi)};
}

// The DPI a window is drawn at: its monitor's where the system scales per
// monitor, else the system's.
[[nodiscard]] int WindowDpi(HWND window) noexcept;

// The system's DPI, for what has no window yet.
[[nodiscard]] int SystemDpi() noexcept;

// The size at dpi of a framed window designed as a whole at 96 DPI: what
// scales is its client area, and the frame is whatever the system draws at
// dpi. At 96 DPI it is the design size.
[[nodiscard]] SIZE FramedWindowSizeAt(SIZE designSize, DWORD style, DWORD exStyle, int dpi) noexcept;

// A system metric at a DPI (icon sizes, scroll bar widths).
[[nodiscard]] int SystemMetricAt(int index, int dpi) noexcept;

} // namespace base
