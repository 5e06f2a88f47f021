#pragma once
// 音乐面板: the playlist as a list of full paths, with buttons to add a
// file or a folder's MP3 files, delete one path or all of them, open a
// track's folder, and a double-click that plays a row.

#include "toolkit/Panel.h"

#include <functional>
#include <string>
#include <vector>

namespace music {

inline constexpr wchar_t kPanelTitle[] = L"音乐面板";

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

// The real dialogs: the system's file and folder dialogs, MessageBoxW (for
// Confirm and Tell, captioned as the panel), ShellExecuteExW("explore").
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
    // Told the playlist's lines each time the file is read, after every
    // change; an unreadable file gives none.
    std::function<void(std::vector<std::wstring> lines)> playlistRead = {};
    PanelShell* shell = nullptr; // not owned
    // A double-clicked row: the path to play and remember.
    std::function<void(const std::wstring& path)> playSelected = {};
};

class MusicPanel : public toolkit::Panel {
public:
    explicit MusicPanel(MusicPanelSettings settings) : m_settings(std::move(settings)) {}
    ~MusicPanel() override;

    // Creates the panel, shown, centred over owner and owned by it.
    [[nodiscard]] bool Create(HWND owner);
    // Creates the panel and runs it modally: owner is disabled until the
    // panel is closed. Returns once the panel is gone.
    void ShowModal(HWND owner);

    // The controls' ids, in the order of the panel's table.
    enum Control : int {
        kAddTrackButton = 100, // clear of IDOK and IDCANCEL
        kAddFolderButton, kOpenFolderButton, kDeleteTrackButton, kDeleteAllButton, kTrackList,
    };

    // Each control, for tests and automation, with what it does. Each change
    // is made to the file as it is now, and the rows and the in-memory
    // playlist then show what it holds. A file that cannot be read is never
    // written over; the user is told.
    [[nodiscard]] HWND AddTrackButton() const noexcept { return Item(kAddTrackButton); }
    void AddSingleTrack();
    [[nodiscard]] HWND AddFolderButton() const noexcept { return Item(kAddFolderButton); }
    void AddFolderTracks();
    [[nodiscard]] HWND OpenFolderButton() const noexcept { return Item(kOpenFolderButton); }
    void OpenTrackFolder();
    [[nodiscard]] HWND DeleteTrackButton() const noexcept { return Item(kDeleteTrackButton); }
    void DeleteSelectedTrack();
    [[nodiscard]] HWND DeleteAllButton() const noexcept { return Item(kDeleteAllButton); }
    void DeleteAllTracks();
    // The rows: a double-click or Enter plays one.
    [[nodiscard]] HWND TrackList() const noexcept { return Item(kTrackList); }
    void PlaySelectedTrack();
    void LoadPlaylistIntoPanel();

private:
    void OnClicked(int id) override;
    void OnNotified(int id, int code) override;
    // Enter on the list plays its selected row.
    void OnEnter() override;
    void OnLaidOut() override { UpdateHorizontalExtent(); }
    // Applies edit to the file's lines and writes them back; true once written.
    [[nodiscard]] bool ChangePlaylist(const std::function<void(std::vector<std::wstring>& lines)>& edit);
    // Shows the notice above the always-on-top panel.
    void Tell(const wchar_t* notice);
    [[nodiscard]] int SelectedRow() const; // LB_ERR when none
    [[nodiscard]] std::wstring RowText(int row) const;
    [[nodiscard]] std::vector<std::wstring> Rows() const;
    void UpdateHorizontalExtent();

    MusicPanelSettings m_settings;
};

} // namespace music
