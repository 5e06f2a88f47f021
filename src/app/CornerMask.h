#pragma once
// The rounded-corner shape shared by the main window and the highlights of
// its picture buttons: a white picture whose corners lose a three-pixel
// staircase, marked in magenta, the colour read as transparent.

#include "base/Handles.h"

namespace app {

inline constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

// A width x height, 32-bit picture: white, with the corners magenta. At 96
// DPI each corner loses 6 pixels, a staircase of three one-pixel steps; at
// other scales each step is a design pixel scaled.
[[nodiscard]] base::UniqueBitmap MakeCornerMask(int width, int height, int dpi = 96);

// The area of a picture not painted in the key colour, as a region in the
// picture's coordinates.
[[nodiscard]] base::UniqueRegion RegionWithoutColour(HBITMAP picture, COLORREF key);

} // namespace app
