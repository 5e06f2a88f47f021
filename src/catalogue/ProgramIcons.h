#pragma once
// A program's shell icon as the picture beside its entry: the icon drawn on
// a solid colour and written out as the bytes of a 32-bit BMP file.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace catalogue {

inline constexpr int kIconPictureSize = 32;

// The bytes of a 32-bit BMP file of width x height pixels showing icon
// drawn at that size on `colour` (no icon: just the colour). `dcWindow`
// (null: the screen) gives the device the drawing is made compatible with.
// Empty if the drawing fails.
[[nodiscard]] std::vector<std::uint8_t> IconToPicture(HICON icon, HWND dcWindow, int width = kIconPictureSize,
                                                      int height = kIconPictureSize,
                                                      COLORREF colour = RGB(255, 255, 255));

// The program's large shell icon on white, 32 x 32. A path the shell knows nothing
// about gives a plain white picture.
[[nodiscard]] std::vector<std::uint8_t> ProgramIconPicture(const std::wstring& programPath, HWND dcWindow);

} // namespace catalogue
