#pragma once
// 32-bit top-down device-independent pixels: pixel (x, y) is at index
// y * width + x and reads 0x00RRGGBB. The form every pixel-level routine
// here works in.

#include "base/Handles.h"

#include <vector>

namespace base {

[[nodiscard]] BITMAPINFO TopDown32Info(int width, int height) noexcept;

struct Dib32 {
    UniqueBitmap bitmap;
    DWORD* pixels = nullptr; // owned by the bitmap
};

// Empty for sizes of 0 or less, or when the system refuses.
[[nodiscard]] Dib32 CreateDib32(int width, int height) noexcept;

// Any bitmap's pixels in the 32-bit top-down form; empty on failure.
[[nodiscard]] std::vector<DWORD> ReadPixels32(HBITMAP bitmap);

// A COLORREF (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB), and back.
[[nodiscard]] constexpr DWORD ToDibPixel(COLORREF c) noexcept
{
    return (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}
[[nodiscard]] constexpr COLORREF FromDibPixel(DWORD p) noexcept
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

} // namespace base
