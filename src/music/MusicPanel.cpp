#include "music/MusicPanel.h"

#include "base/FolderListing.h"
#include "base/PathParts.h"
#include "base/WindowPlacement.h"
#include "music/Playlist.h"
#include "toolkit/FileDialog.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace music {

namespace {

constexpr wchar_t kFolderDialogTitle[] = L"浏览文件夹";
constexpr wchar_t kDeleteAllQuestion[] = L"你确定要删除全部吗？";
constexpr wchar_t kUnreadableNotice[] =
    L"无法读取播放列表文件（文件过大或无法访问）。为免丢失其中的曲目，未作任何更改。";
constexpr wchar_t kFullNotice[] = L"播放列表文件不能超过 1 MB，未能添加。";

using enum MusicPanel::Control;
using toolkit::ControlKind;
// In tab order, left to right as they stand. The list's text is never
// shown: it is the name screen readers give it.
constexpr toolkit::ControlPlace kRows[] = {
    {ControlKind::Button, kAddTrackButton, L"添加单曲", 8, 5, 72, 24},      // 按钮1
    {ControlKind::Button, kAddFolderButton, L"添加文件夹", 88, 5, 80, 24},  // 按钮2
    {ControlKind::Button, kOpenFolderButton, L"打开文件夹", 184, 5, 80, 24}, // 按钮5
    {ControlKind::Button, kDeleteTrackButton, L"删除音乐", 344, 5, 72, 24}, // 按钮3
    {ControlKind::Button, kDeleteAllButton, L"删除全部", 424, 5, 72, 24},   // 按钮4
    {ControlKind::List, kTrackList, L"播放列表", 8, 32, 504, 280},          // 列表框1
};
constexpr toolkit::ControlSection kSections[] = {{kRows}};

constexpr toolkit::FontStyle kFont{12, FW_NORMAL};
// The whole window at 96 DPI; the list has the keyboard first, as the
// panel is about its rows.
constexpr toolkit::PanelDesign kDesign{.className = L"QuilleryMusicPanel",
                                       .title = kPanelTitle,
                                       .size = {529, 352},
                                       .sections = kSections,
                                       .fonts = {kFont, kFont, kFont},
                                       .firstFocus = kTrackList,
                                       .topmost = true};

// The list box draws its text a pixel or two in from the left edge.
constexpr int kExtentMargin = 6;

void SetTopmost(HWND window, bool topmost) noexcept
{
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

MusicPanel::~MusicPanel()
{
    // Destroyed here, while the handlers still exist.
    Close();
}

bool MusicPanel::Create(HWND owner)
{
    if (Handle() || !CreatePanel(owner, kDesign))
        return false;
    LoadPlaylistIntoPanel();
    ::ShowWindow(Handle(), SW_SHOW);
    return true;
}

void MusicPanel::ShowModal(HWND owner)
{
    RunModal(owner, [this, owner] { return Create(owner); });
}

void MusicPanel::LoadPlaylistIntoPanel()
{
    // Always replaced, even by nothing: an emptied or unreadable file must
    // stop the music timer from moving on through tracks it no longer lists.
    const std::vector<std::wstring> lines = LoadPlaylistFile(m_settings.playlistPath, m_settings.codePage).lines;
    if (m_settings.playlistRead)
        m_settings.playlistRead(lines);
    HWND list = TrackList();
    if (!list)
        return;

    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    UpdateHorizontalExtent();
}

bool MusicPanel::ChangePlaylist(const std::function<void(std::vector<std::wstring>& lines)>& edit)
{
    // Read afresh: the rows may be stale if the file changed behind the panel.
    const PlaylistFile file = LoadPlaylistFile(m_settings.playlistPath, m_settings.codePage);
    if (!file.readable) {
        LoadPlaylistIntoPanel();
        Tell(kUnreadableNotice);
        return false;
    }
    std::vector<std::wstring> lines = file.lines;
    edit(lines);
    const SaveResult saved = SavePlaylistFile(m_settings.playlistPath, lines, file, m_settings.codePage);
    LoadPlaylistIntoPanel();
    if (saved == SaveResult::TooLarge)
        Tell(kFullNotice);
    // A failed write is not reported: the list shows the file as it stayed.
    return saved == SaveResult::Saved;
}

void MusicPanel::Tell(const wchar_t* notice)
{
    if (!m_settings.shell || !Handle())
        return;
    SetTopmost(Handle(), false);
    m_settings.shell->Tell(Handle(), notice);
    if (Handle())
        SetTopmost(Handle(), true);
}

void MusicPanel::AddSingleTrack()
{
    if (!m_settings.shell)
        return;
    const std::wstring file = m_settings.shell->ChooseTrackFile(Handle());
    if (file.empty() || !Handle())
        return;
    if (!ChangePlaylist([&](std::vector<std::wstring>& lines) { lines.push_back(file); }))
        return; // the last row is some other track
    HWND list = TrackList();
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count > 0)
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
}

void MusicPanel::AddFolderTracks()
{
    if (!m_settings.shell)
        return;
    const std::wstring folder = m_settings.shell->ChooseFolder(Handle(), kFolderDialogTitle);
    if (folder.empty() || !Handle())
        return;
    const std::vector<std::wstring> names = base::FilesWithExtension(folder, kTrackExtension);
    if (names.empty()) {
        LoadPlaylistIntoPanel();
        return;
    }
    size_t firstNew = 0;
    const bool added = ChangePlaylist([&](std::vector<std::wstring>& lines) {
        firstNew = lines.size();
        for (const std::wstring& name : names)
            lines.push_back(JoinPath(folder, name));
    });
    if (added) // bring the new rows into view
        ::SendMessageW(TrackList(), LB_SETTOPINDEX, firstNew, 0);
}

void MusicPanel::DeleteSelectedTrack()
{
    const int selected = SelectedRow();
    const std::wstring doomed = RowText(selected);
    if (doomed.empty())
        return;
    // Every copy of the path goes, from the file and so from the rows.
    (void)ChangePlaylist([&](std::vector<std::wstring>& lines) { std::erase(lines, doomed); });
    HWND list = TrackList();
    const LRESULT count = list ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
    if (count > 0)
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(std::min<LRESULT>(selected, count - 1)), 0);
}

void MusicPanel::DeleteAllTracks()
{
    if (!m_settings.shell || !Handle())
        return;
    // Not asked at all when the answer could only be refused.
    if (!LoadPlaylistFile(m_settings.playlistPath, m_settings.codePage).readable) {
        LoadPlaylistIntoPanel();
        Tell(kUnreadableNotice);
        return;
    }
    // The question must not open behind the panel.
    SetTopmost(Handle(), false);
    const bool confirmed = m_settings.shell->Confirm(Handle(), kDeleteAllQuestion);
    if (!Handle())
        return;
    if (confirmed)
        (void)ChangePlaylist([](std::vector<std::wstring>& lines) { lines.clear(); });
    SetTopmost(Handle(), true);
}

void MusicPanel::OpenTrackFolder()
{
    const std::wstring path = RowText(SelectedRow());
    const std::wstring folder = base::FolderOf(path);
    if (folder.empty() || !m_settings.shell)
        return;
    // With its backslash, so a track at a drive's root opens the root, not
    // the drive's current folder.
    m_settings.shell->OpenFolder(folder + L'\\');
}

void MusicPanel::PlaySelectedTrack()
{
    const std::wstring path = RowText(SelectedRow());
    if (!path.empty() && m_settings.playSelected)
        m_settings.playSelected(path);
}

void MusicPanel::OnClicked(int id)
{
    switch (id) {
    case kAddTrackButton:
        AddSingleTrack();
        break;
    case kAddFolderButton:
        AddFolderTracks();
        break;
    case kDeleteTrackButton:
        DeleteSelectedTrack();
        break;
    case kDeleteAllButton:
        DeleteAllTracks();
        break;
    case kOpenFolderButton:
        OpenTrackFolder();
        break;
    default:
        break;
    }
}

void MusicPanel::OnNotified(int id, int code)
{
    if (id == kTrackList && code == LBN_DBLCLK)
        PlaySelectedTrack();
}

void MusicPanel::OnEnter()
{
    if (::GetFocus() == TrackList())
        PlaySelectedTrack();
    else
        Panel::OnEnter();
}

int MusicPanel::SelectedRow() const
{
    HWND list = TrackList();
    return list ? static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

std::wstring MusicPanel::RowText(int row) const
{
    HWND list = TrackList();
    if (!list || row < 0)
        return {};
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::vector<std::wstring> MusicPanel::Rows() const
{
    std::vector<std::wstring> rows;
    HWND list = TrackList();
    const LRESULT count = list ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
    for (int row = 0; row < count; ++row)
        rows.push_back(RowText(row));
    return rows;
}

void MusicPanel::UpdateHorizontalExtent()
{
    HWND list = TrackList();
    if (!list)
        return;
    const base::WindowDc dc(list);
    if (!dc)
        return;
    // Measured with what the list draws with; without a font set, the DC's own is that.
    const base::SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::wstring& row : Rows()) {
        SIZE size{};
        if (::GetTextExtentPoint32W(dc.get(), row.c_str(), static_cast<int>(row.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + base::Scaled(kExtentMargin, Dpi())), 0);
}

std::wstring SystemPanelShell::ChooseTrackFile(HWND owner)
{
    return toolkit::ChooseFile(owner, L"MP3文件(*.mp3)|*.mp3", kTrackExtension);
}

std::wstring SystemPanelShell::ChooseFolder(HWND owner, const std::wstring& title)
{
    return toolkit::ChooseFolder(owner, title);
}

bool SystemPanelShell::Confirm(HWND owner, const std::wstring& question)
{
    return ::MessageBoxW(owner, question.c_str(), kPanelTitle, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void SystemPanelShell::Tell(HWND owner, const std::wstring& notice)
{
    (void)::MessageBoxW(owner, notice.c_str(), kPanelTitle, MB_OK | MB_ICONWARNING);
}

void SystemPanelShell::OpenFolder(const std::wstring& folder)
{
    (void)base::ExploreFolder(folder); // silent: the user sees whether a window opened
}

} // namespace music
