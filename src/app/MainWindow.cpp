#include "app/MainWindow.h"

#include "app/CornerMask.h"
#include "app/MainLayout.h"
#include "app/MainWindowArt.h"
#include "app/Resources.h"

#include <windowsx.h>

namespace app {

POINT ClampedPosition(const RECT& window, int screenWidth) noexcept
{
    POINT p = {window.left, window.top};
    const int width = window.right - window.left;
    if (p.y < 0)
        p.y = 0;
    if (p.x < 0)
        p.x = 0;
    if (p.x + width > screenWidth)
        p.x = screenWidth - width;
    return p;
}

bool MainWindow::Create()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Shared icons belong to the system's cache and are never destroyed.
    m_icon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLERY), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                             LR_SHARED));
    m_smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLERY), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    return CreateFrom({.name = kMainWindowClass, .icon = m_icon, .smallIcon = m_smallIcon},
                      {.title = kMainWindowTitle,
                       // A popup has no caption or border; the minimise box lets the
                       // taskbar button minimise and restore it.
                       .style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                       .x = kInitialPosition.x,
                       .y = kInitialPosition.y,
                       .width = kMainWidth,
                       .height = kMainHeight});
}

void MainWindow::OnCreate()
{
    const std::wstring directory = ProgramDirectory();
    SetPaths(m_state, directory);
    // An existing folder, or one we may not create, is not worth a word.
    ::CreateDirectoryW(m_state.favoritesDir.c_str(), nullptr);
    m_config = IniFile(m_state.configPath);

    // The background picture is drawn once; every paint copies it.
    {
        base::WindowDc screen(Handle());
        m_background.reset(::CreateCompatibleBitmap(screen.get(), kMainWidth, kMainHeight));
        base::UniqueMemoryDc memory = base::CreateMemoryDc(screen.get());
        base::SelectGuard select(memory.get(), m_background.get());
        PaintMainBackground(memory.get(), {0, 0, kMainWidth, kMainHeight}, m_smallIcon);
    }

    // The rounded shape: everything but the magenta corners of the mask.
    if (base::UniqueBitmap mask = MakeCornerMask(kMainWidth, kMainHeight)) {
        base::UniqueRegion shape = RegionWithoutColour(mask.get(), kTransparentKey);
        // On success the system owns the region.
        if (shape && ::SetWindowRgn(Handle(), shape.get(), FALSE))
            (void)shape.release();
    }

    // Kept so that closing writes the track back as it was found.
    m_state.currentMusic = m_config.Read(kConfigSection, kCurrentMusicKey);

    const POINT saved = ReadSavedPosition(m_config);
    if (saved.x != 0 || saved.y != 0)
        ::SetWindowPos(Handle(), nullptr, saved.x, saved.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT MainWindow::NormalTopLeft() const
{
    // A minimised window sits far off screen; its restored place is what counts.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (::IsIconic(Handle()) && ::GetWindowPlacement(Handle(), &placement))
        return {placement.rcNormalPosition.left, placement.rcNormalPosition.top};
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    return {r.left, r.top};
}

void MainWindow::SaveConfiguration()
{
    // Nothing to tell the user if the folder is read-only; the program closes anyway.
    (void)app::SaveConfiguration(m_config, NormalTopLeft(), m_state.currentMusic);
}

void MainWindow::ClampToScreen()
{
    if (m_state.dockSliding || ::IsIconic(Handle()))
        return;
    RECT r{};
    if (!::GetWindowRect(Handle(), &r))
        return;
    const POINT p = ClampedPosition(r, ::GetSystemMetrics(SM_CXSCREEN));
    if (p.x != r.left || p.y != r.top)
        ::SetWindowPos(Handle(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Paint(HDC dc) const
{
    base::UniqueMemoryDc memory = base::CreateMemoryDc(dc);
    base::SelectGuard select(memory.get(), m_background.get());
    ::BitBlt(dc, 0, 0, kMainWidth, kMainHeight, memory.get(), 0, 0, SRCCOPY);
}

void MainWindow::OnClose()
{
    SaveConfiguration();
    ::DestroyWindow(Handle());
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_PAINT: {
        base::PaintDc paint(Handle());
        Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_NCHITTEST: {
        // The title strip drags the window, as a caption would.
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(Handle(), &p);
        if (::PtInRect(&kTitleLabelRect, p))
            return HTCAPTION;
        return HTCLIENT;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOMOVE))
            ClampToScreen();
        break;
    }
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ENDSESSION:
        // Windows is shutting down: no WM_CLOSE will come.
        if (wParam)
            SaveConfiguration();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace app
