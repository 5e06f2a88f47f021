#pragma once
// The expand arrows of group rows: an 11 x 22 BMP compiled in from res/,
// two 11 x 11 frames (right-pointing over down-pointing) on magenta.

#include <windows.h>

#include <cstddef>

namespace grouplist {

extern const unsigned char kExpandArrowsPictureBytes[];
extern const std::size_t kExpandArrowsPictureSize;

inline constexpr int kArrowSize = 11;
inline constexpr COLORREF kArrowKey = RGB(255, 0, 255);

// Loaded on first use and kept for the life of the process (one per
// process, shared by every control). Null if it could not be decoded.
[[nodiscard]] HBITMAP ExpandArrowsBitmap();

} // namespace grouplist
