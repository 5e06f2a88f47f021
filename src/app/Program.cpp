#include "app/Program.h"

#include "app/AppMessages.h"
#include "app/Docking.h"
#include "app/Hotkey.h"
#include "app/Resources.h"
#include "base/Dpi.h"
#include "base/LongPath.h"
#include "image/IconFile.h"
#include "music/MciPlayer.h"
#include "music/MusicPanel.h"

#include <shellapi.h>

namespace app {

namespace {
constexpr UINT kMusicTimerMs = 1000;
constexpr UINT kTrayBalloonMs = 3000;
constexpr int kCallKeyId = 1;
} // namespace

Program::Program(AppState& state, std::wstring programDirectory)
    : m_state(state), m_programDirectory(std::move(programDirectory)),
      m_typing(state.listControl, m_window.Controls().Filter(), [this] { return m_window.CanType(); }),
      m_music(state, m_config, m_window.Controls().BoxWindow(Box::Music), m_window.Controls().BoxWindow(Box::Play),
              [] { return std::make_unique<music::MciPlayer>(); }),
      m_tray(state.taskbarCreatedMessage, kTrayCallbackMessage),
      m_weather(m_config, m_window.Controls().BoxWindow(Box::Weather), state.boxObjectIds[0], kWeatherResultMessage)
{
}

Program::~Program()
{
    if (HWND window = m_window.Handle())
        ::DestroyWindow(window);
}

bool Program::Create()
{
    SetPaths(m_state, m_programDirectory);
    // An existing folder, or one we may not create, is not worth a word.
    ::CreateDirectoryW(base::ExtendedPath(m_state.favoritesDir).c_str(), nullptr);
    m_listingAhead.Start(m_state.favoritesDir);
    m_config = IniFile(m_state.configPath);
    m_iconFile = image::IconFileBytes(::GetModuleHandleW(nullptr), IDI_QUILLERY);
    return m_window.Create();
}

void Program::OnWindowCreated()
{
    WireBoxesAndTitle();
    const POINT saved = ReadSavedPosition(m_config);
    if (saved.x != 0 || saved.y != 0)
        m_window.MoveToSavedPosition(saved);

    StartShortcutList();
    ReloadCatalogue();
    m_weather.FetchWeather(Handle());
    m_music.SetPlayButton(false);
    m_music.StartPlayer(Handle());
    m_music.InitMusic();
    // Without its timer a track that ends is simply not followed by the next.
    (void)::SetTimer(Handle(), kMusicTimer, kMusicTimerMs, nullptr);
    Controls().TitleLabel().AcceptDroppedFiles(true);
    RegisterCallKey();
}

void Program::WireBoxesAndTitle()
{
    MainControls& controls = Controls();
    controls.SetBoxClick(Box::Close, [this] { m_window.Close(); });
    controls.SetBoxClick(Box::Minimise, [this] { MinimiseToTray(); });
    controls.SetBoxClick(Box::Music, [this] { OpenMusicPanel(); });
    controls.SetBoxClick(Box::Play, [this] { m_music.TogglePlayback(); });
    controls.SetBoxClick(Box::Weather, [this] { m_weather.OnTextClick(Handle()); });
    controls.SetBoxClick(Box::Next, [this] { m_weather.NextDay(); });
    controls.SetBoxClick(Box::Previous, [this] { m_weather.PreviousDay(); });
    controls.SetBoxClick(Box::Manage, [this] { OpenManagePanel(); });
    controls.TitleLabel().SetEvents({
        .leftButtonDown = [this] { m_window.MoveByTitle(); },
        .doubleClick = [this] { ReloadCatalogue(); },
        .filesDropped = [this](std::vector<std::wstring> paths) { OnFilesDropped(std::move(paths)); },
    });
}

void Program::StartShortcutList()
{
    grouplist::GroupedListControl& list = m_state.listControl;
    if (!list.GetWindowHandle())
        return;
    m_loader = std::make_unique<catalogue::CatalogueLoader>(list, m_iconSource);
    m_loader->UseIconCache(m_state.iconCachePath);
    m_loader->UseListingAhead(std::move(m_listingAhead));
    m_loader->SetPictureSize(base::Scaled(catalogue::kIconPictureSize, m_window.Dpi()));
    m_loader->SetMissingMarker([&list](int entry, bool missing) { (void)list.SetEntryMissing(entry, missing); });
    m_actions = std::make_unique<ListActions>(ListActionSettings{.root = m_state.favoritesDir,
                                                                 .codePage = CP_ACP,
                                                                 .owner = Handle(),
                                                                 .list = &list,
                                                                 .loader = m_loader.get(),
                                                                 .launcher = &m_launcher,
                                                                 .shell = m_listActionShell});
    // A double-click names the shortcut under the pointer, Enter the selected one.
    list.SetEntryDoubleClickHandler([this](int entry, int, int) { m_actions->Launch(entry); });
    list.SetEntryRightClickHandler([this](int entry, int x, int y) { m_actions->OnEntryMenu(entry, x, y); });
    list.SetGroupRightClickHandler([this](int group, int x, int y) { m_actions->OnGroupMenu(group, x, y); });
    list.SetBlankRightClickHandler([this](int, int x, int y) { m_actions->OnBlankMenu(x, y); });
    list.SetKeyHandler([this](UINT message, WPARAM code) {
        return (m_window.CanType() && m_actions->OnKey(message, code)) || m_typing.OnKey(message, code);
    });
    // An expanded group's pictures come before the rest.
    list.SetGroupClickHandler([this](int group, int, int) { m_loader->GroupToggled(group); });
}

bool Program::OnPartMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_music.OnMessage(message, wParam, lParam))
        return true;
    switch (message) {
    case WM_TIMER:
        if (wParam == kMusicTimer) {
            m_music.MusicTimerTick();
            return true;
        }
        if (wParam == kWeatherDeadlineTimer) {
            m_weather.OnDeadline();
            return true;
        }
        return false;
    case kWeatherResultMessage:
        m_weather.OnResult(wParam);
        return true;
    case WM_HOTKEY:
        if (wParam == kCallKeyId)
            OnCallKey();
        return true;
    default:
        return false;
    }
}

void Program::OnWindowScaled(int dpi)
{
    // Every entry's picture is asked for again at the new size; the groups
    // stay open or closed as the user left them.
    if (m_loader)
        m_loader->SetPictureSize(base::Scaled(catalogue::kIconPictureSize, dpi));
}

void Program::OnWindowClosing()
{
    SaveConfiguration();
    Controls().TitleLabel().AcceptDroppedFiles(false);
}

void Program::OnWindowDestroyed()
{
    ::KillTimer(Handle(), kMusicTimer);
    ::KillTimer(Handle(), kWeatherDeadlineTimer);
    if (m_callKeyState == CallKeyState::Registered)
        ::UnregisterHotKey(Handle(), kCallKeyId);
    m_music.StopPlayer();
}

void Program::SaveConfiguration()
{
    // A save that fails leaves the file as it was; nothing to tell the user
    // as the program closes anyway.
    (void)app::SaveConfiguration(m_config, m_window.RestoredTopLeft(), m_state.currentMusic);
    if (m_loader)
        m_loader->SaveIconCache();
}

void Program::ReloadCatalogue()
{
    // Groups stay open and the selection where it was, as after the list's own changes.
    if (m_actions)
        m_actions->Reload();
}

void Program::RegisterCallKey()
{
    const IniText settings = m_config.Load();
    const std::optional<std::wstring> text = settings.Find(kConfigSection, kCallKeyKey);
    if (text && text->empty())
        return; // turned off
    const std::optional<Hotkey> key = ParseHotkey(text.value_or(kDefaultHotkey));
    if (!key) {
        m_callKeyState = CallKeyState::Invalid;
        m_window.ShowTitleNotice(L"热键设置无效");
        return;
    }
    // Held down, the key must not toggle the window on every repeat.
    if (!::RegisterHotKey(Handle(), kCallKeyId, key->modifiers | MOD_NOREPEAT, key->key)) {
        m_callKeyState = CallKeyState::Taken;
        m_window.ShowTitleNotice(L"热键 " + HotkeyText(*key) + L" 已被占用");
        return;
    }
    m_callKeyState = CallKeyState::Registered;
}

void Program::OnCallKey()
{
    HWND window = Handle();
    const bool inFront = ::IsWindowVisible(window) && !::IsIconic(window) && !m_state.dockHidden &&
                         ::GetForegroundWindow() == window;
    if (inFront) {
        // Back where it came from; a window that was simply behind others goes to the tray.
        if (m_calledFrom == CalledFrom::Dock && !m_state.dockSliding)
            SendBackToDock(window, m_state, m_window.Dpi());
        else
            MinimiseToTray(false);
        m_calledFrom = CalledFrom::Elsewhere;
        return;
    }
    m_calledFrom = CalledFrom::Elsewhere;
    if (!::IsWindowVisible(window)) {
        m_calledFrom = CalledFrom::Tray;
        ::ShowWindow(window, SW_SHOW);
        m_tray.Remove();
    } else if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    } else if (m_state.dockHidden) {
        m_calledFrom = CalledFrom::Dock;
        CallOutOfDock(window, m_state, m_window.Dpi());
    }
    ::SetForegroundWindow(window);
    // Ready to type: the keyboard in the list and no filter left from before.
    m_typing.Clear();
    if (HWND list = m_state.listControl.GetWindowHandle())
        ::SetFocus(list);
}

void Program::MinimiseToTray(bool explain)
{
    const bool inTray =
        m_tray.Add(Handle(), m_iconFile, kMainWindowTitle, [this](UINT mouseMessage) { OnTrayEvent(mouseMessage); });
    // The pointer is on the minimise box now; back from the tray it will not be.
    m_window.HideHighlight(Box::Minimise);
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

void Program::OnTrayEvent(UINT mouseMessage)
{
    if (mouseMessage != WM_LBUTTONDBLCLK)
        return;
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    m_tray.Remove();
}

catalogue::CatalogueWindowSettings Program::CatalogueWindowSettings()
{
    return {.root = m_state.favoritesDir,
            .codePage = CP_ACP,
            .shell = m_catalogueShell,
            .reload = [this] { ReloadCatalogue(); }};
}

void Program::OpenManagePanel()
{
    if (!m_managePanel || !m_managePanel->Handle())
        m_managePanel = std::make_unique<catalogue::ManagePanel>(CatalogueWindowSettings());
    // Without its panel the program goes on; the box simply opened nothing.
    (void)m_managePanel->Create(Handle());
    m_window.FadeHighlight(Box::Manage);
}

void Program::OnFilesDropped(std::vector<std::wstring> paths)
{
    if (!m_dropAddWindow || !m_dropAddWindow->Handle())
        m_dropAddWindow = std::make_unique<catalogue::DropAddWindow>(CatalogueWindowSettings());
    (void)m_dropAddWindow->Open(Handle(), std::move(paths));
}

void Program::OpenMusicPanel()
{
    music::SystemPanelShell shell;
    music::MusicPanel panel({
        .playlistPath = m_state.playlistPath,
        .codePage = CP_ACP,
        .playlistRead = [this](std::vector<std::wstring> lines) { m_music.SetPlaylist(std::move(lines)); },
        .shell = &shell,
        .playSelected = [this](const std::wstring& path) { m_music.PlaySelectedTrack(path); },
    });
    panel.ShowModal(Handle());
    m_window.FadeHighlight(Box::Music);
}

} // namespace app
