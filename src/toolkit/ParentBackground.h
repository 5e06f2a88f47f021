#pragma once
// Child windows that look transparent show their parent's picture: they ask
// the parent to draw its client area (WM_PRINTCLIENT) shifted so that the
// part under the child lands at the child's origin.

#include <windows.h>

namespace toolkit {

// Draws into dc, at (0, 0), the width x height part of the parent's client
// area that child covers. Where the parent draws nothing, white.
void PaintParentBehind(HWND child, HDC dc, int width, int height);

} // namespace toolkit
