#pragma once
// A program's shell icon as the picture beside its entry: the icon drawn on
// a solid colour and written out as the bytes of a 32-bit BMP file.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace catalogue {

inline constexpr int kIconPictureSize = 32;

// The bytes of a BMP file, 32 x 32 pixels at 32 bits, showing icon (none:
// just the colour) drawn width x height at the top-left on `colour`. The
// drawing surface is always 32 x 32; `dcWindow` (null: the screen) gives
// the device it is made compatible with. Empty if the drawing fails.
[[nodiscard]] std::vector<std::uint8_t> IconToPicture(HICON icon, HWND dcWindow, int width = kIconPictureSize,
                                                      int height = kIconPictureSize,
                                                      COLORREF colour = RGB(255, 255, 255));

// The program's large shell icon on white. A path the shell knows nothing
// about gives a plain white picture.
[[nodiscard]] std::vector<std::uint8_t> ProgramIconPicture(const std::wstring& programPath, HWND dcWindow);

} // namespace catalogue
