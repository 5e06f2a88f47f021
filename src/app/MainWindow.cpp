#include "app/MainWindow.h"

#include "app/AppMessages.h"
#include "app/CornerMask.h"
#include "app/Docking.h"
#include "app/Hotkey.h"
#include "app/MainLayout.h"
#include "app/MainWindowArt.h"
#include "app/Resources.h"
#include "base/Dpi.h"
#include "base/LongPath.h"
#include "image/IconFile.h"
#include "music/MusicPanel.h"

#include <shellapi.h>

#include <algorithm>

namespace app {

namespace {
constexpr UINT_PTR kDockTimer = 1; // 时钟1
constexpr UINT kDockTimerMs = 100;
constexpr UINT_PTR kMusicTimer = 2; // 时钟2
constexpr UINT kMusicTimerMs = 1000;
constexpr UINT kTrayBalloonMs = 3000;
constexpr UINT_PTR kTitleNoticeTimer = 5;
constexpr UINT kTitleNoticeMs = 4000;
constexpr int kCallKeyId = 1;

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
    m_iconFile = image::IconFileBytes(instance, IDI_QUILLERY);
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
    SetPaths(m_state, m_programDirectory);
    m_restoredTopLeft = kInitialPosition;
    // An existing folder, or one we may not create, is not worth a word.
    ::CreateDirectoryW(base::ExtendedPath(m_state.favoritesDir).c_str(), nullptr);
    m_config = IniFile(m_state.configPath);

    if (const int dpi = base::WindowDpi(Handle()); dpi != m_dpi) {
        m_dpi = dpi;
        ::SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DrawForDpi(false);

    if (m_controls.Create(Handle(), m_dpi)) {
        m_controls.SetupButtonBoxes(m_state);
        m_controls.SetBoxClick(Box::Close, [this] { OnClose(); });
        m_controls.SetBoxClick(Box::Minimise, [this] { MinimiseToTray(); });
        m_controls.SetBoxClick(Box::Music, [this] { OpenMusicPanel(); });
        m_controls.SetBoxClick(Box::Play, [this] { m_music.TogglePlayback(); });
        m_controls.SetBoxClick(Box::Weather, [this] { m_weather.OnTextClick(Handle()); });
        m_controls.SetBoxClick(Box::Next, [this] { m_weather.NextDay(); });
        m_controls.SetBoxClick(Box::Previous, [this] { m_weather.PreviousDay(); });
        m_controls.SetBoxClick(Box::Manage, [this] { OpenManagePanel(); });
        HWND window = Handle();
        m_controls.TitleLabel().SetEvents({
            .leftButtonDown = [window] {
                // The system's own move loop drags the window, as a caption would.
                ::ReleaseCapture();
                ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            },
            .doubleClick = [this] { ReloadCatalogue(); },
            .filesDropped = [this](std::vector<std::wstring> paths) { OnFilesDropped(std::move(paths)); },
        });
    }

    const POINT saved = ReadSavedPosition(m_config);
    if (saved.x != 0 || saved.y != 0)
        MoveToSavedPosition(saved);

    CreateShortcutList();
    ScaleShortcutList();
    ReloadCatalogue();
    m_weather.FetchWeather(Handle());
    m_music.SetPlayButton(0);
    m_music.StartPlayer(Handle());
    m_music.InitMusic();
    // Without its timers the window still works; it just never docks, and
    // a track that ends is not followed by the next.
    (void)::SetTimer(Handle(), kDockTimer, kDockTimerMs, nullptr);
    (void)::SetTimer(Handle(), kMusicTimer, kMusicTimerMs, nullptr);
    m_controls.TitleLabel().AcceptDroppedFiles(true);
    RegisterCallKey();
}

void MainWindow::RegisterCallKey()
{
    const IniText settings = m_config.Load();
    const std::optional<std::wstring> text = settings.Find(kConfigSection, kCallKeyKey);
    if (text && text->empty())
        return; // turned off
    const std::optional<Hotkey> key = ParseHotkey(text.value_or(kDefaultHotkey));
    if (!key) {
        m_callKeyState = CallKeyState::Invalid;
        ShowTitleNotice(L"热键设置无效");
        return;
    }
    // Held down, the key must not toggle the window on every repeat.
    if (!::RegisterHotKey(Handle(), kCallKeyId, key->modifiers | MOD_NOREPEAT, key->key)) {
        m_callKeyState = CallKeyState::Taken;
        ShowTitleNotice(L"热键 " + HotkeyText(*key) + L" 已被占用");
        return;
    }
    m_callKeyState = CallKeyState::Registered;
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

void MainWindow::OnCallKey()
{
    const bool inFront = ::IsWindowVisible(Handle()) && !::IsIconic(Handle()) && m_state.dockHidden == 0 &&
                         ::GetForegroundWindow() == Handle();
    if (inFront) {
        // Back where it came from; a window that was simply behind others goes to the tray.
        if (m_calledFrom == CalledFrom::Dock && !m_state.dockSliding) {
            m_state.dockHeld = false;
            SlideUpAndDock(Handle(), m_state, m_dpi);
            m_state.dockHidden = 1;
        } else {
            MinimiseToTray(false);
        }
        m_calledFrom = CalledFrom::Elsewhere;
        return;
    }
    m_calledFrom = CalledFrom::Elsewhere;
    if (!::IsWindowVisible(Handle())) {
        m_calledFrom = CalledFrom::Tray;
        ::ShowWindow(Handle(), SW_SHOW);
        m_tray.Remove();
    } else if (::IsIconic(Handle())) {
        ::ShowWindow(Handle(), SW_RESTORE);
    } else if (m_state.dockHidden) {
        m_calledFrom = CalledFrom::Dock;
        CallOutOfDock(Handle(), m_state, m_dpi);
    }
    ::SetForegroundWindow(Handle());
    // Ready to type: the keyboard in the list and no filter left from before.
    m_typing.Clear();
    if (HWND list = m_state.listControl.GetWindowHandle())
        ::SetFocus(list);
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

catalogue::CatalogueWindowSettings MainWindow::CatalogueWindowSettings()
{
    return {.root = m_state.favoritesDir,
            .codePage = CP_ACP,
            .shell = m_catalogueShell,
            .reload = [this] { ReloadCatalogue(); }};
}

void MainWindow::OpenManagePanel()
{
    if (!m_managePanel || !m_managePanel->Handle())
        m_managePanel = std::make_unique<catalogue::ManagePanel>(CatalogueWindowSettings());
    // Without its panel the program goes on; the box simply opened nothing.
    (void)m_managePanel->Create(Handle());
    FadeHighlightOut(m_controls.BoxWindow(Box::Manage), HighlightOf(Box::Manage));
}

void MainWindow::OnFilesDropped(std::vector<std::wstring> paths)
{
    if (!m_dropAddWindow || !m_dropAddWindow->Handle())
        m_dropAddWindow = std::make_unique<catalogue::DropAddWindow>(CatalogueWindowSettings());
    (void)m_dropAddWindow->Open(Handle(), std::move(paths));
}

void MainWindow::MinimiseToTray(bool explain)
{
    const bool inTray =
        m_tray.Add(Handle(), m_iconFile, kMainWindowTitle, [this](UINT mouseMessage) { OnTrayEvent(mouseMessage); });
    // The pointer is on the minimise box now; back from the tray it will not be.
    m_controls.BoxWindow(Box::Minimise).SetObjectTransparency(HighlightOf(Box::Minimise), kHighlightHidden);
    if (!inTray) {
        // Hidden without an icon the window could never be found again: the
        // taskbar button brings a minimised one back.
        m_tray.Remove();
        ::ShowWindow(Handle(), SW_MINIMIZE);
        return;
    }
    ::ShowWindow(Handle(), SW_HIDE);
    if (explain)
        m_tray.BalloonTimed(L"信息", L"已最小化到托盘区，双击这里恢复状态！", NIIF_INFO, kTrayBalloonMs);
}

void MainWindow::OnTrayEvent(UINT mouseMessage)
{
    if (mouseMessage != WM_LBUTTONDBLCLK)
        return;
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    m_tray.Remove();
}

void MainWindow::OpenMusicPanel()
{
    music::SystemPanelShell shell;
    music::MusicPanel panel({
        .playlistPath = m_state.playlistPath,
        .codePage = CP_ACP,
        .playlist = &m_state.playlist,
        .shell = &shell,
        .playSelected = [this](const std::wstring& path) { m_music.PlaySelectedTrack(path); },
    });
    panel.ShowModal(Handle());
    FadeHighlightOut(m_controls.BoxWindow(Box::Music), HighlightOf(Box::Music));
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
    m_loader = std::make_unique<catalogue::CatalogueLoader>(m_state.listControl, m_iconSource);
    m_loader->UseIconCache(m_state.iconCachePath);
    m_loader->SetMissingMarker(
        [this](int entry, bool missing) { (void)m_state.listControl.SetEntryMissing(entry, missing); });
    m_actions = std::make_unique<ListActions>(ListActionSettings{.root = m_state.favoritesDir,
                                                                 .codePage = CP_ACP,
                                                                 .owner = Handle(),
                                                                 .list = &m_state.listControl,
                                                                 .loader = m_loader.get(),
                                                                 .launcher = &m_launcher,
                                                                 .shell = m_listActionShell});
    grouplist::GroupedListControl& list = m_state.listControl;
    // A double-click names the shortcut under the pointer, Enter the selected one.
    list.SetEntryDoubleClickHandler([this](int entry, int, int) { m_actions->Launch(entry); });
    list.SetEntryRightClickHandler([this](int entry, int x, int y) { m_actions->OnEntryMenu(entry, x, y); });
    list.SetGroupRightClickHandler([this](int group, int x, int y) { m_actions->OnGroupMenu(group, x, y); });
    list.SetBlankRightClickHandler([this](int, int x, int y) { m_actions->OnBlankMenu(x, y); });
    list.SetKeyHandler([this](UINT message, WPARAM code) {
        return (CanType() && m_actions->OnKey(message, code)) || m_typing.OnKey(message, code);
    });
    // An expanded group's pictures come before the rest.
    list.SetGroupClickHandler([this](int group, int, int) { m_loader->GroupToggled(group); });
}

void MainWindow::ScaleShortcutList()
{
    // The default pictures first: the list paints them as soon as it has
    // measured its rows again.
    if (MakeDefaultPictures(m_state, m_dpi))
        grouplist::GroupedListControl::SetDefaultAvatars(m_state.defaultPictures[0].get(),
                                                         m_state.defaultPictures[1].get());
    m_state.listControl.SetDpi(m_dpi);
    // Every entry's picture is asked for again at the new size; the groups
    // stay open or closed as the user left them.
    if (m_loader)
        m_loader->SetPictureSize(base::Scaled(catalogue::kIconPictureSize, m_dpi));
}

void MainWindow::ReloadCatalogue()
{
    // Groups stay open and the selection where it was, as after the list's own changes.
    if (m_actions)
        m_actions->Reload();
}

bool MainWindow::CanType() const
{
    return ::IsWindowVisible(Handle()) && !::IsIconic(Handle()) && m_state.dockHidden == 0 &&
           m_state.dockSliding == 0;
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

void MainWindow::SaveConfiguration()
{
    // A save that fails leaves the file as it was; nothing to tell the user
    // as the program closes anyway.
    (void)app::SaveConfiguration(m_config, RestoredTopLeft(), m_state.currentMusic);
    if (m_loader)
        m_loader->SaveIconCache();
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

void MainWindow::OnClose()
{
    SaveConfiguration();
    m_controls.TitleLabel().AcceptDroppedFiles(false);
    ::DestroyWindow(Handle());
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_music.OnMessage(message, wParam, lParam))
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
        if (wParam == kMusicTimer) {
            m_music.MusicTimerTick();
            return 0;
        }
        if (wParam == kWeatherDeadlineTimer) {
            m_weather.OnDeadline();
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
    case kWeatherResultMessage:
        m_weather.OnResult(wParam);
        return 0;
    case WM_HOTKEY:
        if (wParam == kCallKeyId)
            OnCallKey();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ENDSESSION:
        // Windows is shutting down: no WM_CLOSE will come.
        if (wParam)
            SaveConfiguration();
        return 0;
    case WM_DESTROY:
        ::KillTimer(Handle(), kDockTimer);
        ::KillTimer(Handle(), kMusicTimer);
        ::KillTimer(Handle(), kWeatherDeadlineTimer);
        ::KillTimer(Handle(), kTitleNoticeTimer);
        if (m_callKeyState == CallKeyState::Registered)
            ::UnregisterHotKey(Handle(), kCallKeyId);
        m_music.StopPlayer();
        ::PostQuitMessage(0);
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace app
