#pragma once
// The borderless 275 x 555 main window: its shape, background picture,
// saved position, and keeping itself on screen.

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/ListActions.h"
#include "app/Configuration.h"
#include "app/MainControls.h"
#include "app/MusicBar.h"
#include "app/TypeToFind.h"
#include "app/WeatherLine.h"
#include "catalogue/BackgroundLauncher.h"
#include "catalogue/Catalogue.h"
#include "catalogue/DropAddWindow.h"
#include "catalogue/ManagePanel.h"
#include "base/Handles.h"
#include "base/Window.h"
#include "music/MciPlayer.h"
#include "tray/TrayIcon.h"

#include <memory>
#include <vector>

namespace app {

inline constexpr wchar_t kMainWindowClass[] = L"QuilleryMainWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Quillery";

// Where a window of the given rectangle must go to stay on the given
// screen: no edge above or left of it, none right of it. The bottom is not
// held here; dragging holds it.
[[nodiscard]] POINT ClampedPosition(const RECT& window, const RECT& screen) noexcept;

class MainWindow : public base::Window {
public:
    // Everything the window keeps lives in programDirectory.
    MainWindow(AppState& state, std::wstring programDirectory)
        : m_state(state), m_programDirectory(std::move(programDirectory)),
          m_music(state, m_config, m_controls.BoxWindow(Box::Music), m_controls.BoxWindow(Box::Play),
                  [] { return std::make_unique<music::MciPlayer>(); }),
          m_tray(state.taskbarCreatedMessage, kTrayCallbackMessage),
          m_weather(m_config, m_controls.BoxWindow(Box::Weather), state.boxObjectIds[0], kWeatherResultMessage)
    {
    }

    [[nodiscard]] bool Create();

    void SaveConfiguration();

    // Rebuilds the shortcut list from the catalogue folders: the groups at
    // once, entries and pictures as they come.
    void ReloadCatalogue();
    // Where the entries' pictures come from; the shell unless replaced
    // before Create.
    void SetIconSource(std::shared_ptr<catalogue::IconSource> source) { m_iconSource = std::move(source); }
    [[nodiscard]] catalogue::CatalogueLoader* Loader() { return m_loader.get(); }

    // What starts double-clicked shortcuts, on a thread of its own; the shell
    // unless replaced.
    void SetLauncher(std::shared_ptr<catalogue::ProgramLauncher> launcher) { m_launcher.SetInner(std::move(launcher)); }

    [[nodiscard]] MainControls& Controls() { return m_controls; }
    [[nodiscard]] MusicBar& Music() { return m_music; }
    [[nodiscard]] WeatherLine& Weather() { return m_weather; }
    [[nodiscard]] const tray::TrayIcon& Tray() const { return m_tray; }
    // Where the tray icon's calls go; the shell unless replaced.
    void SetTrayNotify(tray::NotifyFunction notify) { m_tray.SetNotifyFunction(std::move(notify)); }

    // Hides the window behind an icon in the notification area; a
    // double-click on the icon brings it back. The balloon says how, unless
    // the key that put the window away brings it back too.
    void MinimiseToTray(bool explain = true);
    void OnTrayEvent(UINT mouseMessage);

    // The key from Instal.ini that calls the window from anywhere
    // (kDefaultHotkey when none is set); what happened to it, for tests.
    enum class CallKeyState { Off, Registered, Taken, Invalid };
    [[nodiscard]] CallKeyState CallKey() const noexcept { return m_callKeyState; }
    // The key pressed: the window comes to the front ready to type, or,
    // already there, goes back where it came from.
    void OnCallKey();

    // 管理面板, or the open one brought forward.
    void OpenManagePanel();
    // Files dropped on the title become shortcuts through 拖放添加.
    void OnFilesDropped(std::vector<std::wstring> paths);
    [[nodiscard]] catalogue::ManagePanel* ManagePanel() { return m_managePanel.get(); }
    [[nodiscard]] catalogue::DropAddWindow* DropAddWindow() { return m_dropAddWindow.get(); }
    // Where the two catalogue windows ask for programs and open folders.
    void SetCatalogueShell(catalogue::CatalogueShell& shell) { m_catalogueShell = &shell; }
    // Where the list's menus ask their questions; before Create.
    void SetListActionShell(ListActionShell& shell) { m_listActionShell = &shell; }
    [[nodiscard]] ListActions* Actions() { return m_actions.get(); }

    // Copies the background picture's `area` (client coordinates) to dc.
    void Paint(HDC dc, const RECT& area) const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    // The window's size at its scale.
    [[nodiscard]] int Width() const noexcept;
    [[nodiscard]] int Height() const noexcept;
    // The background picture, title icon and shape at the window's scale.
    void DrawForDpi(bool redraw);
    // Moved to a monitor of another scale: everything laid out and drawn again.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void CreateShortcutList();
    // The list's rows and pictures at the window's scale.
    void ScaleShortcutList();
    void OnClose();
    void RegisterCallKey();
    // A word over the title for a few seconds, as the title's window text too.
    void ShowTitleNotice(const std::wstring& text);
    void EndTitleNotice();
    void OpenMusicPanel();
    void MoveToSavedPosition(POINT saved);
    [[nodiscard]] catalogue::CatalogueWindowSettings CatalogueWindowSettings();
    // The id of the highlight object in the box.
    [[nodiscard]] int HighlightOf(Box box) const { return m_state.boxObjectIds[static_cast<size_t>(box) - 1]; }
    // Holds a move on the screen it lands on, unless the program itself is
    // sliding the window off the top edge or it is being minimised.
    void ClampToScreen(WINDOWPOS& pos) const;
    [[nodiscard]] POINT RestoredTopLeft() const;
    // Whether typing can reach the list: the window is shown whole, not
    // hidden, minimised or docked.
    [[nodiscard]] bool CanType() const;

    AppState& m_state;
    std::wstring m_programDirectory;
    POINT m_restoredTopLeft{}; // where the window was last seen not minimised
    IniFile m_config{L""};
    base::UniqueBitmap m_background;
    HICON m_smallIcon = nullptr; // shared resource icon: not owned
    base::UniqueIcon m_titleIcon; // drawn in the title, at the window's scale
    int m_dpi = 96;
    MainControls m_controls;
    TypeToFind m_typing{m_state.listControl, m_controls.Filter(), [this] { return CanType(); }};
    MusicBar m_music;
    tray::TrayIcon m_tray;
    WeatherLine m_weather;
    catalogue::SystemCatalogueShell m_systemCatalogueShell;
    catalogue::CatalogueShell* m_catalogueShell = &m_systemCatalogueShell; // not owned
    // Made when first opened; each lives on, closed, until opened again.
    std::unique_ptr<catalogue::ManagePanel> m_managePanel;
    std::unique_ptr<catalogue::DropAddWindow> m_dropAddWindow;
    std::vector<unsigned char> m_iconFile; // the program's icon as an icon file, for the tray
    bool m_inMoveLoop = false; // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
    CallKeyState m_callKeyState = CallKeyState::Off;
    // Where the call key last brought the window from: where it sends it back.
    enum class CalledFrom { Elsewhere, Tray, Dock } m_calledFrom = CalledFrom::Elsewhere;
    catalogue::BackgroundLauncher m_launcher{std::make_shared<catalogue::ShellLauncher>()};
    std::shared_ptr<catalogue::IconSource> m_iconSource = std::make_shared<catalogue::ShellIconSource>();
    std::unique_ptr<catalogue::CatalogueLoader> m_loader;
    SystemListActionShell m_systemListActionShell;
    ListActionShell* m_listActionShell = &m_systemListActionShell; // not owned
    std::unique_ptr<ListActions> m_actions; // after m_loader: it uses it
};

} // namespace app
