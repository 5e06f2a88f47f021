#include "app/MainWindow.h"

#include "app/AppMessages.h"
#include "app/CornerMask.h"
#include "app/Docking.h"
#include "app/MainLayout.h"
#include "app/MainWindowArt.h"
#include "app/Resources.h"
#include "base/Dpi.h"

#include <algorithm>

namespace app {

namespace {
constexpr UINT kDockTimerMs = 100;
constexpr UINT kTitleNoticeMs = 4000;

RECT MonitorRectOf(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(monitor, &info))
        return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return info.rcMonitor;
}
} // namespace

POINT ClampedPosition(const RECT& window, const RECT& screen) noexcept
{
    POINT p = {window.left, window.top};
    const int width = window.right - window.left;
    if (p.y < screen.top)
        p.y = screen.top;
    if (p.x < screen.left)
        p.x = screen.left;
    if (p.x + width > screen.right)
        p.x = screen.right - width;
    return p;
}

bool MainWindow::Create()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Shared icons belong to the system's cache and are never destroyed.
    const auto icon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLERY), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                             LR_SHARED));
    m_smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLERY), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    // Made at the system's scale; a window that lands on a monitor of
    // another scale is set right as it is created.
    m_dpi = base::SystemDpi();
    return CreateFrom({.name = kMainWindowClass, .icon = icon, .smallIcon = m_smallIcon},
                      {.title = kMainWindowTitle,
                       // A popup has no caption or border; the minimise box lets the
                       // taskbar button minimise and restore it.
                       .style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                       .x = kInitialPosition.x,
                       .y = kInitialPosition.y,
                       .width = base::Scaled(kMainWidth, m_dpi),
                       .height = base::Scaled(kMainHeight, m_dpi)});
}

void MainWindow::OnCreate()
{
    m_restoredTopLeft = kInitialPosition;
    if (const int dpi = base::WindowDpi(Handle()); dpi != m_dpi) {
        m_dpi = dpi;
        ::SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DrawForDpi(false);
    if (m_controls.Create(Handle(), m_dpi))
        m_controls.SetupButtonBoxes(m_state);
    CreateShortcutList();
    ScaleShortcutList();
    // Without its timer the window still works; it just never docks.
    (void)::SetTimer(Handle(), kDockTimer, kDockTimerMs, nullptr);
    m_events.OnWindowCreated();
}

void MainWindow::MoveByTitle()
{
    ::ReleaseCapture();
    ::SendMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void MainWindow::FadeHighlight(Box box)
{
    FadeHighlightOut(m_controls.BoxWindow(box), HighlightOf(box));
}

void MainWindow::HideHighlight(Box box)
{
    m_controls.BoxWindow(box).SetObjectTransparency(HighlightOf(box), kHighlightHidden);
}

void MainWindow::ShowTitleNotice(const std::wstring& text)
{
    ::SetWindowTextW(m_controls.TitleLabel().Handle(), text.c_str());
    // Shown where a typed filter shows; typing replaces it.
    m_controls.Filter().SetText(text);
    (void)::SetTimer(Handle(), kTitleNoticeTimer, kTitleNoticeMs, nullptr);
}

void MainWindow::EndTitleNotice()
{
    ::KillTimer(Handle(), kTitleNoticeTimer);
    ::SetWindowTextW(m_controls.TitleLabel().Handle(), kMainWindowTitle);
    m_controls.Filter().SetText(m_state.listControl.FilterText());
}

int MainWindow::Width() const noexcept
{
    return base::Scaled(kMainWidth, m_dpi);
}

int MainWindow::Height() const noexcept
{
    return base::Scaled(kMainHeight, m_dpi);
}

void MainWindow::DrawForDpi(bool redraw)
{
    // The title's icon from the artwork's own sizes, not a stretched 16 x 16.
    const int iconSize = base::Scaled(16, m_dpi);
    m_titleIcon.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUILLERY),
                                                      IMAGE_ICON, iconSize, iconSize, 0)));

    // The background picture is drawn once per scale; every paint copies it.
    {
        base::WindowDc windowDc(Handle());
        m_background.reset(::CreateCompatibleBitmap(windowDc.get(), Width(), Height()));
        base::UniqueMemoryDc memory = base::CreateMemoryDc(windowDc.get());
        base::SelectGuard select(memory.get(), m_background.get());
        PaintMainBackground(memory.get(), {0, 0, Width(), Height()}, m_titleIcon.get(), m_dpi);
    }

    // The rounded shape: everything but the magenta corners of the mask.
    if (base::UniqueBitmap mask = MakeCornerMask(Width(), Height(), m_dpi)) {
        base::UniqueRegion shape = RegionWithoutColour(mask.get(), kTransparentKey);
        // On success the system owns the region.
        if (shape && ::SetWindowRgn(Handle(), shape.get(), redraw))
            (void)shape.release();
    }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested)
{
    if (dpi <= 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    DrawForDpi(true);
    // Where the system suggests, at our own size; a docked window stays at
    // the top edge as the strip it was.
    if (m_state.dockHidden)
        PlaceDocked(Handle(), m_state, suggested.left, m_dpi);
    else
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, Width(), Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    m_controls.SetDpi(m_state, m_dpi);
    ScaleShortcutList();
    m_events.OnWindowScaled(m_dpi);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::MoveToSavedPosition(POINT saved)
{
    // A hand-edited or stale value (huge, or below the bottom after the
    // screen changed) must not start the window where nobody can reach it:
    // it comes back whole on the screen it is nearest to.
    constexpr int kFar = 1 << 20; // beyond any screen, small enough to add a size to
    RECT target{};
    target.left = std::clamp(static_cast<int>(saved.x), -kFar, kFar);
    target.top = std::clamp(static_cast<int>(saved.y), -kFar, kFar);
    target.right = target.left + Width();
    target.bottom = target.top + Height();
    HoldDragOnScreen(target, MonitorRectOf(::MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST)));
    ::SetWindowPos(Handle(), nullptr, target.left, target.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CreateShortcutList()
{
    HWND host = m_controls.ListHost().Handle();
    // Made at the window's scale rather than measured twice.
    m_state.listControl.SetDpi(m_dpi);
    if (!host || !m_state.listControl.Create(host, 0, 1, false, RGB(255, 255, 255)))
        return;
    grouplist::GroupedListControl::SetDefaultAvatars(m_state.defaultPictures[0].get(),
                                                     m_state.defaultPictures[1].get());
}

void MainWindow::ScaleShortcutList()
{
    // The default pictures first: the list paints them as soon as it has
    // measured its rows again.
    if (MakeDefaultPictures(m_state, m_dpi))
        grouplist::GroupedListControl::SetDefaultAvatars(m_state.defaultPictures[0].get(),
                                                         m_state.defaultPictures[1].get());
    m_state.listControl.SetDpi(m_dpi);
}

bool MainWindow::CanType() const
{
    return ::IsWindowVisible(Handle()) && !::IsIconic(Handle()) && !m_state.dockHidden &&
           !m_state.dockSliding;
}

POINT MainWindow::RestoredTopLeft() const
{
    // A minimised window is parked far off screen; where it comes back is what counts.
    if (::IsIconic(Handle()))
        return m_restoredTopLeft;
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    return {r.left, r.top};
}

void MainWindow::ClampToScreen(WINDOWPOS& pos) const
{
    if ((pos.flags & SWP_NOMOVE) || m_state.dockSliding || ::IsIconic(Handle()))
        return;
    RECT now{};
    ::GetWindowRect(Handle(), &now);
    const int width = (pos.flags & SWP_NOSIZE) ? now.right - now.left : pos.cx;
    const int height = (pos.flags & SWP_NOSIZE) ? now.bottom - now.top : pos.cy;
    const RECT target = {pos.x, pos.y, pos.x + width, pos.y + height};
    // The screen the window lands on; with one monitor, the whole screen.
    const POINT p = ClampedPosition(target, MonitorRectOf(::MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST)));
    pos.x = p.x;
    pos.y = p.y;
}

void MainWindow::Paint(HDC dc, const RECT& area) const
{
    base::UniqueMemoryDc memory = base::CreateMemoryDc(dc);
    base::SelectGuard select(memory.get(), m_background.get());
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left,
             area.top, SRCCOPY);
}

void MainWindow::Close()
{
    m_events.OnWindowClosing();
    ::DestroyWindow(Handle());
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_events.OnPartMessage(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_SETFOCUS:
        // The keyboard belongs to the shortcut list: typing finds shortcuts,
        // and screen readers follow its selection.
        if (HWND list = m_state.listControl.GetWindowHandle())
            ::SetFocus(list);
        return 0;
    case WM_PAINT: {
        base::PaintDc paint(Handle());
        Paint(paint.get(), paint.dirty());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam), {0, 0, Width(), Height()});
        return 0;
    case WM_MOVING: {
        // Dragging never takes any part of the window off the screen.
        // The screen under the pointer, so a drag can still cross to another monitor.
        auto& dragged = *reinterpret_cast<RECT*>(lParam);
        HoldDragOnScreen(dragged, MonitorRectOf(::MonitorFromPoint(CurrentCursor(), MONITOR_DEFAULTTONEAREST)));
        (void)Default(message, wParam, lParam);
        return TRUE;
    }
    case WM_GETMINMAXINFO: {
        // Nothing larger than the design; as small as the docked strip.
        auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
        limits.ptMinTrackSize = {0, 0};
        limits.ptMaxTrackSize = {Width(), Height()};
        break;
    }
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ENTERSIZEMOVE:
        m_inMoveLoop = true;
        break;
    case WM_EXITSIZEMOVE:
        m_inMoveLoop = false;
        break;
    case WM_TIMER:
        if (wParam == kDockTimer) {
            // While a drag holds the mouse (the window's own, or a scroll bar's
            // or button's inside it) the pointer may be outside the window
            // on purpose; sliding away under it would lose the window.
            if (!m_inMoveLoop && !::GetCapture())
                AutoHideTick(Handle(), m_state, m_dpi);
            return 0;
        }
        if (wParam == kTitleNoticeTimer) {
            EndTitleNotice();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGING:
        ClampToScreen(*reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:
        if (RECT r{}; !::IsIconic(Handle()) && ::GetWindowRect(Handle(), &r))
            m_restoredTopLeft = {r.left, r.top};
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ENDSESSION:
        // Windows is shutting down: no WM_CLOSE will come.
        if (wParam)
            m_events.OnWindowClosing();
        return 0;
    case WM_DESTROY:
        ::KillTimer(Handle(), kDockTimer);
        ::KillTimer(Handle(), kTitleNoticeTimer);
        m_events.OnWindowDestroyed();
        ::PostQuitMessage(0);
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace app
