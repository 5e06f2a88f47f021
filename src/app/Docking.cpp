#include "app/Docking.h"

#include "app/MainLayout.h"
#include "base/Dpi.h"

namespace app {

namespace {

RECT WindowRectOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

void PlaceAtTop(HWND window, int left, int height, int dpi)
{
    ::SetWindowPos(window, nullptr, left, 0, base::Scaled(kMainWidth, dpi), base::Scaled(height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool MouseLeftDockedWindow(const RECT& window, POINT mouse) noexcept
{
    return mouse.x < window.left || mouse.x > window.right || mouse.y > window.bottom - window.top;
}

bool MouseTouchesDockStrip(const RECT& window, POINT mouse, int dpi) noexcept
{
    return window.left < mouse.x && mouse.x < window.right && mouse.y < base::Scaled(3, dpi);
}

void HoldDragOnScreen(RECT& dragged, const RECT& screen) noexcept
{
    const int width = dragged.right - dragged.left;
    const int height = dragged.bottom - dragged.top;
    if (dragged.left < screen.left) {
        dragged.left = screen.left;
        dragged.right = screen.left + width;
    }
    if (dragged.top < screen.top) {
        dragged.top = screen.top;
        dragged.bottom = screen.top + height;
    }
    if (dragged.right > screen.right) {
        dragged.left = screen.right - width;
        dragged.right = screen.right;
    }
    if (dragged.bottom > screen.bottom) {
        dragged.top = screen.bottom - height;
        dragged.bottom = screen.bottom;
    }
}

POINT CurrentCursor()
{
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

void AutoHideTick(HWND window, AppState& state, int dpi, const CursorReader& cursor)
{
    // Minimised or put away in the tray, the window is not at the edge to dock.
    if (!::IsWindowVisible(window) || ::IsIconic(window))
        return;

    RECT r = WindowRectOf(window);
    if (state.dockHeld && !MouseLeftDockedWindow(r, cursor()))
        state.dockHeld = false; // the mouse came: leaving now puts it away as usual
    if (r.top == 0 && !state.dockHidden && !state.dockHeld && MouseLeftDockedWindow(r, cursor()))
        SlideUpAndDock(window, state, dpi);

    r = WindowRectOf(window);
    if (r.top == 0 && state.dockHidden && MouseTouchesDockStrip(r, cursor(), dpi)) {
        PlaceAtTop(window, r.left, kMainHeight, dpi);
        state.dockHidden = false;
        state.dockSliding = false;
        // Called back, it takes the keyboard: what the user types next is for it.
        ::SetForegroundWindow(window);
    }

    r = WindowRectOf(window);
    if (state.dockHidden && r.top != 0)
        PlaceAtTop(window, r.left, kDockStripHeight, dpi);
}

void SlideUpAndDock(HWND window, AppState& state, int dpi)
{
    state.dockSliding = true;
    RECT r = WindowRectOf(window);
    // Steps grow with the scale too, so the slide takes as long at any DPI.
    const int step = base::Scaled(1, dpi);
    for (int i = 1; i <= kMainHeight; ++i) {
        ::Sleep(10);
        ::SetWindowPos(window, nullptr, r.left, r.top - i * step, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = WindowRectOf(window);
        if (r.top < -base::Scaled(280, dpi))
            break;
    }
    PlaceAtTop(window, r.left, kDockStripHeight, dpi);
    state.dockHidden = true;
}

void SendBackToDock(HWND window, AppState& state, int dpi)
{
    state.dockHeld = false;
    SlideUpAndDock(window, state, dpi);
}

void CallOutOfDock(HWND window, AppState& state, int dpi)
{
    PlaceAtTop(window, WindowRectOf(window).left, kMainHeight, dpi);
    state.dockHidden = false;
    state.dockSliding = false;
    state.dockHeld = true;
}

void PlaceDocked(HWND window, const AppState& state, int left, int dpi)
{
    PlaceAtTop(window, left, state.dockHidden ? kDockStripHeight : kMainHeight, dpi);
}

} // namespace app
