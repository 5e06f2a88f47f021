#pragma once
// Geometry of the main window and the controls laid over its background,
// in client pixels (the window has no frame, so client = window).

#include <windows.h>

namespace app {

inline constexpr int kMainWidth = 275;
inline constexpr int kMainHeight = 555;
inline constexpr POINT kInitialPosition = {50, 50};

inline constexpr RECT BoxRect(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

inline constexpr RECT kTitleLabelRect = BoxRect(0, 0, 192, 32);   // 透明标签1
inline constexpr RECT kFilterTitleRect = BoxRect(29, 1, 163, 30); // over the title's text, inside the frame
inline constexpr RECT kWeatherBoxRect = BoxRect(9, 36, 233, 42);  // 动画框1
inline constexpr RECT kMusicBoxRect = BoxRect(52, 525, 172, 22);  // 动画框2
inline constexpr RECT kManageBoxRect = BoxRect(6, 525, 41, 22);   // 动画框3
inline constexpr RECT kMinimiseBoxRect = BoxRect(200, 3, 30, 19); // 动画框4
inline constexpr RECT kCloseBoxRect = BoxRect(232, 3, 40, 19);    // 动画框5
inline constexpr RECT kPreviousBoxRect = BoxRect(245, 34, 19, 21); // 动画框6
inline constexpr RECT kNextBoxRect = BoxRect(245, 59, 19, 21);    // 动画框7
inline constexpr RECT kPlayBoxRect = BoxRect(228, 525, 40, 22);   // 动画框8
inline constexpr RECT kListHostRect = BoxRect(11, 96, 253, 408);  // 图片框1

} // namespace app
