#pragma once
// The program put together: the main window, and each part that hangs on
// it (the shortcut list's loader and actions, the music bar, the forecast,
// the tray icon, the panels and the call key), given what it needs and
// told what the others do. The one place that knows every part; a new part
// is made a member here, started in OnWindowCreated and handed its
// messages in OnPartMessage.

#include "app/AppState.h"
#include "app/Configuration.h"
#include "app/ListActions.h"
#include "app/MainWindow.h"
#include "app/MusicBar.h"
#include "app/TypeToFind.h"
#include "app/WeatherLine.h"
#include "catalogue/BackgroundLauncher.h"
#include "catalogue/Catalogue.h"
#include "catalogue/DropAddWindow.h"
#include "catalogue/ManagePanel.h"
#include "tray/TrayIcon.h"

#include <memory>
#include <string>
#include <vector>

namespace app {

class Program final : private MainWindow::Events {
public:
    // Everything the program keeps lives in programDirectory.
    Program(AppState& state, std::wstring programDirectory);
    // The window goes first: its last messages still reach every part.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Makes the main window (not yet shown) and starts every part.
    [[nodiscard]] bool Create();

    [[nodiscard]] HWND Handle() const noexcept { return m_window.Handle(); }
    [[nodiscard]] MainWindow& Window() { return m_window; }
    [[nodiscard]] MainControls& Controls() { return m_window.Controls(); }

    // The outside world each part talks to; the system's unless replaced
    // before Create.
    void SetIconSource(std::shared_ptr<catalogue::IconSource> source) { m_iconSource = std::move(source); }
    void SetLauncher(std::shared_ptr<catalogue::ProgramLauncher> launcher) { m_launcher.SetInner(std::move(launcher)); }
    void SetTrayNotify(tray::NotifyFunction notify) { m_tray.SetNotifyFunction(std::move(notify)); }
    // Where the two catalogue windows ask for programs and open folders.
    void SetCatalogueShell(catalogue::CatalogueShell& shell) { m_catalogueShell = &shell; }
    // Where the list's menus ask their questions.
    void SetListActionShell(ListActionShell& shell) { m_listActionShell = &shell; }

    [[nodiscard]] MusicBar& Music() { return m_music; }
    [[nodiscard]] WeatherLine& Weather() { return m_weather; }
    [[nodiscard]] const tray::TrayIcon& Tray() const { return m_tray; }
    [[nodiscard]] catalogue::CatalogueLoader* Loader() { return m_loader.get(); }
    [[nodiscard]] ListActions* Actions() { return m_actions.get(); }
    [[nodiscard]] catalogue::ManagePanel* ManagePanel() { return m_managePanel.get(); }
    [[nodiscard]] catalogue::DropAddWindow* DropAddWindow() { return m_dropAddWindow.get(); }

    // Rebuilds the shortcut list from the catalogue folders, keeping the
    // user's place: the groups at once, entries and pictures as they come.
    void ReloadCatalogue();
    // The window's place and the current track, into Instal.ini.
    void SaveConfiguration();

    // Hides the window behind an icon in the notification area; a
    // double-click on the icon brings it back. The balloon says how, unless
    // the key that put the window away brings it back too.
    void MinimiseToTray(bool explain = true);

    // The key from Instal.ini that calls the window from anywhere
    // (kDefaultHotkey when none is set), and what became of it.
    enum class CallKeyState { Off, Registered, Taken, Invalid };
    [[nodiscard]] CallKeyState CallKey() const noexcept { return m_callKeyState; }
    // The key pressed: the window comes to the front ready to type, or,
    // already there, goes back where it came from.
    void OnCallKey();

    // 管理面板, or the open one brought forward.
    void OpenManagePanel();
    // Files dropped on the title become shortcuts through 拖放添加.
    void OnFilesDropped(std::vector<std::wstring> paths);

private:
    void OnWindowCreated() override;
    [[nodiscard]] bool OnPartMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowScaled(int dpi) override;
    void OnWindowClosing() override;
    void OnWindowDestroyed() override;

    void WireBoxesAndTitle();
    void StartShortcutList();
    void OnTrayEvent(UINT mouseMessage);
    void OpenMusicPanel();
    void RegisterCallKey();
    [[nodiscard]] catalogue::CatalogueWindowSettings CatalogueWindowSettings();

    AppState& m_state;
    std::wstring m_programDirectory;
    IniFile m_config{L""};
    MainWindow m_window{m_state, *this};
    TypeToFind m_typing;
    MusicBar m_music;
    tray::TrayIcon m_tray;
    WeatherLine m_weather;
    std::vector<unsigned char> m_iconFile; // the program's icon as an icon file, for the tray
    CallKeyState m_callKeyState = CallKeyState::Off;
    // Where the call key last brought the window from: where it sends it back.
    enum class CalledFrom { Elsewhere, Tray, Dock } m_calledFrom = CalledFrom::Elsewhere;
    catalogue::SystemCatalogueShell m_systemCatalogueShell;
    catalogue::CatalogueShell* m_catalogueShell = &m_systemCatalogueShell; // not owned
    // Made when first opened; each lives on, closed, until opened again.
    std::unique_ptr<catalogue::ManagePanel> m_managePanel;
    std::unique_ptr<catalogue::DropAddWindow> m_dropAddWindow;
    catalogue::BackgroundLauncher m_launcher{std::make_shared<catalogue::ShellLauncher>()};
    std::shared_ptr<catalogue::IconSource> m_iconSource = std::make_shared<catalogue::ShellIconSource>();
    // The catalogue listed while the window is made, for the loader's first load.
    catalogue::ListingAhead m_listingAhead;
    std::unique_ptr<catalogue::CatalogueLoader> m_loader;
    SystemListActionShell m_systemListActionShell;
    ListActionShell* m_listActionShell = &m_systemListActionShell; // not owned
    std::unique_ptr<ListActions> m_actions; // after m_loader: it uses it
};

} // namespace app
