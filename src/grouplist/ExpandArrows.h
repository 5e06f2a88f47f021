#pragma once
// The expand arrows of group rows: a solid triangle in a square box, pointing
// right for a collapsed group and down for an expanded one. Drawn for the
// box's size rather than scaled from a picture, so it stays sharp at any
// scale; at 11 px it is the original 11 x 11 art pixel for pixel.

#include <windows.h>

namespace grouplist {

inline constexpr int kArrowSize = 11; // design pixels
inline constexpr COLORREF kArrowColour = RGB(47, 111, 200);

// Fills the arrow into the box of size x size pixels at (x, y); the rest of
// the box is left as it was.
void DrawExpandArrow(HDC dc, int x, int y, int size, bool expanded);

} // namespace grouplist
