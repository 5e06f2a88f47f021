#pragma once
// Where the program's panels open, and how they show a folder.

#include <windows.h>

#include <string>

namespace base {

// A width x height rectangle centred over owner (or the primary work area
// without one), kept on the work area of owner's monitor: an owner docked
// half off the screen must not take its panel with it. The top left corner
// wins when the panel is larger than the work area.
[[nodiscard]] RECT CentredOver(HWND owner, int width, int height) noexcept;

// A framed window designed as a whole at 96 DPI (its client area scales,
// the frame is the system's), centred over owner at dpi.
[[nodiscard]] RECT FramedPlaceOver(HWND owner, SIZE designSize, DWORD style, DWORD exStyle, int dpi) noexcept;

// Opens folder in the system's file browser, without any error dialog.
// False when the shell could not.
bool ExploreFolder(const std::wstring& folder) noexcept;

// The folder of path in the file browser with path selected; its folder
// alone when the file is gone or the shell cannot select it.
bool ShowInFolder(const std::wstring& path) noexcept;

} // namespace base
