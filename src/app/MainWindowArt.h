#pragma once
// The main window's background picture: frame, title, window buttons,
// weather arrows, the white panel behind the list and the bottom bar. The
// controls of the window sit on top of it and show through to it.

#include <windows.h>

#include <string_view>

namespace app {

namespace art {
inline constexpr COLORREF kFrame = RGB(46, 104, 18);
inline constexpr COLORREF kTitleTop = RGB(92, 168, 48);
inline constexpr COLORREF kTitleBottom = RGB(63, 131, 22);
inline constexpr COLORREF kTitleText = RGB(255, 255, 255);
inline constexpr COLORREF kGlyph = RGB(255, 255, 255);
inline constexpr COLORREF kBodyTop = RGB(233, 244, 226);
inline constexpr COLORREF kBodyBottom = RGB(242, 248, 238);
inline constexpr COLORREF kWeatherPanel = RGB(250, 253, 248);
inline constexpr COLORREF kPanelBorder = RGB(189, 214, 174);
inline constexpr COLORREF kArrow = RGB(63, 131, 22);
inline constexpr COLORREF kListPanel = RGB(255, 255, 255);
inline constexpr COLORREF kBarTop = RGB(226, 240, 216);
inline constexpr COLORREF kBarBottom = RGB(204, 228, 190);
inline constexpr COLORREF kBarLine = RGB(172, 204, 152);
inline constexpr COLORREF kBarText = RGB(63, 131, 22);
} // namespace art

// Paints the whole picture, at the window's size for dpi, with its top-left
// corner at bounds' top-left. `titleIcon` (may be null, sized for dpi) is
// drawn before the title.
void PaintMainBackground(HDC dc, const RECT& bounds, HICON titleIcon, int dpi = 96);

// The title bar under `area` (window coordinates), drawn at dc's origin, with
// a magnifier and the typed filter where the title is, in the title's font.
// A filter too long to fit shows its end, where the typing is.
void PaintFilterTitle(HDC dc, const RECT& area, std::wstring_view filter, int dpi = 96);

} // namespace app
