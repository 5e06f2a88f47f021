#pragma once
// 音乐面板: the playlist as a list of full paths, with buttons to add a
// file or a folder's MP3 files, delete one path or all of them, open a
// track's folder, and a double-click that plays a row.

#include "base/Dpi.h"
#include "base/FocusMemory.h"
#include "base/Handles.h"
#include "base/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace music {

inline constexpr wchar_t kPanelTitle[] = L"音乐面板";
// The whole window at 96 DPI; it scales with the display.
inline constexpr int kPanelWidth = 529;
inline constexpr int kPanelHeight = 352;

// What the panel asks of the shell; tests hand in fakes.
class PanelShell {
public:
    virtual ~PanelShell() = default;
    // The full path of the MP3 file the user chose; empty when cancelled.
    [[nodiscard]] virtual std::wstring ChooseTrackFile(HWND owner) = 0;
    // The folder the user chose; empty when cancelled.
    [[nodiscard]] virtual std::wstring ChooseFolder(HWND owner, const std::wstring& title) = 0;
    // True when the user answered OK.
    [[nodiscard]] virtual bool Confirm(HWND owner, const std::wstring& question) = 0;
    // A notice the user acknowledges with OK.
    virtual void Tell(HWND owner, const std::wstring& notice) = 0;
    // Shows the folder in the system's file browser.
    virtual void OpenFolder(const std::wstring& folder) = 0;
};

// The real dialogs: GetOpenFileNameW, SHBrowseForFolderW, MessageBoxW (for
// Confirm and Tell), ShellExecuteExW("explore").
class SystemPanelShell final : public PanelShell {
public:
    [[nodiscard]] std::wstring ChooseTrackFile(HWND owner) override;
    [[nodiscard]] std::wstring ChooseFolder(HWND owner, const std::wstring& title) override;
    [[nodiscard]] bool Confirm(HWND owner, const std::wstring& question) override;
    void Tell(HWND owner, const std::wstring& notice) override;
    void OpenFolder(const std::wstring& folder) override;
};

struct MusicPanelSettings {
    std::wstring playlistPath;
    unsigned codePage = 0; // CP_ACP; tests pin 936
    // The in-memory playlist, refreshed from the file after every change.
    // An unreadable file leaves it empty.
    std::vector<std::wstring>* playlist = nullptr; // not owned
    PanelShell* shell = nullptr;                   // not owned
    // A double-clicked row: the path to play and remember.
    std::function<void(const std::wstring& path)> playSelected = {};
};

class MusicPanel : public base::Window {
public:
    explicit MusicPanel(MusicPanelSettings settings) : m_settings(std::move(settings)) {}
    ~MusicPanel() override;

    // Creates the panel, shown, centred over owner and owned by it.
    [[nodiscard]] bool Create(HWND owner);
    // Creates the panel and runs it modally: owner is disabled until the
    // panel is closed. Returns once the panel is gone.
    void ShowModal(HWND owner);

    // The controls by their form numbers, for tests and automation.
    [[nodiscard]] HWND Button(int number) const; // 按钮1 .. 按钮5
    [[nodiscard]] HWND List() const;             // 列表框1

    // The button handlers. Each change is made to the file as it is now,
    // and the rows and the in-memory playlist then show what it holds. A
    // file that cannot be read is never written over; the user is told.
    void LoadPlaylistIntoPanel();
    void AddSingleTrack();
    void AddFolderTracks();
    void DeleteSelectedTrack();
    void DeleteAllTracks();
    void OpenTrackFolder();
    void PlaySelectedTrack();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnDestroyed() override;
    // Places the controls and sets their font at m_dpi; creation and
    // WM_DPICHANGED both come here.
    void LayOut();
    void OnCommand(int id, int code);
    // Enables the owner ShowModal disabled, then destroys the panel.
    void Close();
    void ReleaseOwner();
    // Applies edit to the file's lines and writes them back; true once written.
    [[nodiscard]] bool ChangePlaylist(const std::function<void(std::vector<std::wstring>& lines)>& edit);
    // Shows the notice above the always-on-top panel.
    void Tell(const wchar_t* notice);
    [[nodiscard]] int SelectedRow() const; // LB_ERR when none
    [[nodiscard]] std::wstring RowText(int row) const;
    [[nodiscard]] std::vector<std::wstring> Rows() const;
    void UpdateHorizontalExtent();

    MusicPanelSettings m_settings;
    // Child controls are destroyed with the panel: handles not owned.
    HWND m_buttons[5]{};
    HWND m_list = nullptr;
    base::FocusMemory m_focus;
    HWND m_disabledOwner = nullptr; // not owned: enabled again on close
    int m_dpi = base::kDesignDpi;
    base::UniqueFont m_font;
};

} // namespace music
