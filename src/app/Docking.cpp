#include "app/Docking.h"

#include "app/MainLayout.h"

namespace app {

namespace {

RECT WindowRectOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

void PlaceAtTop(HWND window, int left, int height)
{
    ::SetWindowPos(window, nullptr, left, 0, kMainWidth, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool MouseLeftDockedWindow(const RECT& window, POINT mouse) noexcept
{
    return mouse.x < window.left || mouse.x > window.right || mouse.y > window.bottom - window.top;
}

bool MouseTouchesDockStrip(const RECT& window, POINT mouse) noexcept
{
    return window.left < mouse.x && mouse.x < window.right && mouse.y < 3;
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

void AutoHideTick(HWND window, AppState& state, const CursorReader& cursor)
{
    // Minimised or put away in the tray, the window is not at the edge to dock.
    if (!::IsWindowVisible(window) || ::IsIconic(window))
        return;

    RECT r = WindowRectOf(window);
    if (r.top == 0 && state.dockHidden == 0 && MouseLeftDockedWindow(r, cursor())) {
        SlideUpAndDock(window, state);
        state.dockHidden = 1;
    }

    r = WindowRectOf(window);
    if (r.top == 0 && state.dockHidden == 1 && MouseTouchesDockStrip(r, cursor())) {
        PlaceAtTop(window, r.left, kMainHeight);
        state.dockHidden = 0;
        state.dockSliding = 0;
        // Called back, it takes the keyboard: what the user types next is for it.
        ::SetForegroundWindow(window);
    }

    r = WindowRectOf(window);
    if (state.dockHidden == 1 && r.top != 0)
        PlaceAtTop(window, r.left, kDockStripHeight);
}

void SlideUpAndDock(HWND window, AppState& state)
{
    state.dockSliding = 1;
    RECT r = WindowRectOf(window);
    for (int i = 1; i <= kMainHeight; ++i) {
        ::Sleep(10);
        ::SetWindowPos(window, nullptr, r.left, r.top - i, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = WindowRectOf(window);
        if (r.top < -280)
            break;
    }
    PlaceAtTop(window, r.left, kDockStripHeight);
}

} // namespace app
