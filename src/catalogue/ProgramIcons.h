#pragma once
// A program's shell icon as the picture beside its entry: the icon drawn on
// a solid colour and written out as the bytes of a 32-bit BMP file.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace catalogue {

// The picture's size in design pixels (96 DPI); scaled with the list.
inline constexpr int kIconPictureSize = 32;

// The bytes of a 32-bit BMP file of width x height pixels showing icon
// drawn at that size on `colour` (no icon: just the colour). `dcWindow`
// (null: the screen) gives the device the drawing is made compatible with.
// Empty if the drawing fails.
[[nodiscard]] std::vector<std::uint8_t> IconToPicture(HICON icon, HWND dcWindow, int width = kIconPictureSize,
                                                      int height = kIconPictureSize,
                                                      COLORREF colour = RGB(255, 255, 255));

// The program's shell icon on white, pixelSize x pixelSize. It comes from
// the smallest of the system's image lists whose icons are at least that
// large (their sizes follow the system's DPI, so each is asked), drawn at
// its own size and resampled only when it is larger: a 64 px picture shows
// a 64 or larger icon, never a 32 px one blown up. A path the shell knows
// nothing about gives a plain white picture.
[[nodiscard]] std::vector<std::uint8_t> ProgramIconPicture(const std::wstring& programPath, HWND dcWindow,
                                                           int pixelSize = kIconPictureSize);

} // namespace catalogue
