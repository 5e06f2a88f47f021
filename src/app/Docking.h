#pragma once
// Docking at the top edge of the screen: a window whose top is exactly 0
// slides up out of sight when the mouse leaves it, leaving a 275 x 2 strip,
// and comes back at full size, and active, when the mouse touches that strip.
// Sizes are design pixels, scaled by the window's DPI.

#include "app/AppState.h"

#include <windows.h>

#include <functional>

namespace app {

inline constexpr int kDockStripHeight = 2;

// The mouse has left a window docked at the top edge: beyond its left or
// right edge column, or below its height.
[[nodiscard]] bool MouseLeftDockedWindow(const RECT& window, POINT mouse) noexcept;

// The mouse touches the hidden strip: strictly between its end columns and
// within the screen's top three rows (three design rows at dpi).
[[nodiscard]] bool MouseTouchesDockStrip(const RECT& window, POINT mouse, int dpi = 96) noexcept;

// A dragged window's rectangle held on the screen: left and top edges at
// least the screen's, right and bottom edges at most its. Size is kept.
void HoldDragOnScreen(RECT& dragged, const RECT& screen) noexcept;

// Where the mouse is, in screen coordinates; tests hand in their own.
using CursorReader = std::function<POINT()>;

[[nodiscard]] POINT CurrentCursor();

// One tick of the 100 ms docking timer, for a window drawn at dpi.
void AutoHideTick(HWND window, AppState& state, int dpi, const CursorReader& cursor = CurrentCursor);

// Slides the window up past the screen's top edge in growing steps, then
// leaves the strip in its place, docked. The slide is short (about a
// quarter of a second); the window thread waits for it.
void SlideUpAndDock(HWND window, AppState& state, int dpi);

// A window called out by the key, sent back into the strip it came from.
void SendBackToDock(HWND window, AppState& state, int dpi);

// The docked window whole at the top again, held there until the mouse has
// been over it (see AppState::dockHeld).
void CallOutOfDock(HWND window, AppState& state, int dpi);

// Where a docked window goes at a new scale: at the top, the strip or the
// whole window as it was, sized for dpi.
void PlaceDocked(HWND window, const AppState& state, int left, int dpi);

} // namespace app
