#include "music/MusicPanel.h"

#include "base/FolderListing.h"
#include "base/WindowPlacement.h"
#include "music/Playlist.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace music {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryMusicPanel";
constexpr wchar_t kFontFace[] = L"微软雅黑";
constexpr int kFontPixels = 12;
constexpr wchar_t kFolderDialogTitle[] = L"浏览文件夹";
constexpr wchar_t kDeleteAllQuestion[] = L"你确定要删除全部吗？";
constexpr wchar_t kUnreadableNotice[] =
    L"无法读取播放列表文件（文件过大或无法访问）。为免丢失其中的曲目，未作任何更改。";
constexpr wchar_t kFullNotice[] = L"播放列表文件不能超过 1 MB，未能添加。";
// Never shown; the name screen readers give the list.
constexpr wchar_t kListName[] = L"播放列表";

// Ids clear of IDOK and IDCANCEL, which the dialog manager sends for
// Enter and Escape.
constexpr int kFirstButtonId = 101;
constexpr int kListId = 110;

struct ButtonPlace {
    int number; // 按钮n
    RECT rect;
    const wchar_t* caption;
};

// In tab order, left to right as they stand.
constexpr ButtonPlace kButtonPlaces[] = {
    {1, {8, 5, 80, 29}, L"添加单曲"},
    {2, {88, 5, 168, 29}, L"添加文件夹"},
    {5, {184, 5, 264, 29}, L"打开文件夹"},
    {3, {344, 5, 416, 29}, L"删除音乐"},
    {4, {424, 5, 496, 29}, L"删除全部"},
};
constexpr RECT kListRect{8, 32, 512, 312};

// The list box draws its text a pixel or two in from the left edge.
constexpr int kExtentMargin = 6;

// The dialog frame leaves the caption without an icon: a close box only.
constexpr DWORD kPanelStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPanelExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

constexpr SIZE kPanelSize = {kPanelWidth, kPanelHeight}; // the whole window at 96 DPI

void SetTopmost(HWND window, bool topmost) noexcept
{
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

MusicPanel::~MusicPanel()
{
    // Destroyed here, while the handlers and the font still exist.
    if (Handle())
        ::DestroyWindow(Handle());
}

bool MusicPanel::Create(HWND owner)
{
    if (Handle())
        return false;
    const int dpi = CreateScaledPopup(
        {.name = kClassName, .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {.exStyle = kPanelExStyle, .title = kPanelTitle, .style = kPanelStyle, .parent = owner}, kPanelSize);
    if (!dpi)
        return false;
    m_dpi = dpi;

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const auto makeControl = [&](const wchar_t* cls, const wchar_t* text, DWORD exStyle, DWORD style, int id) {
        return ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    for (const ButtonPlace& button : kButtonPlaces)
        m_buttons[button.number - 1] =
            makeControl(L"BUTTON", button.caption, 0, BS_PUSHBUTTON, kFirstButtonId + button.number - 1);
    m_list = makeControl(L"LISTBOX", kListName, WS_EX_CLIENTEDGE,
                         WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kListId);
    if (!m_list || std::ranges::find(m_buttons, nullptr) != std::end(m_buttons)) {
        ::DestroyWindow(Handle());
        return false;
    }
    LayOut();

    LoadPlaylistIntoPanel();
    ::ShowWindow(Handle(), SW_SHOW);
    return true;
}

void MusicPanel::ShowModal(HWND owner)
{
    // An owner someone else has disabled stays as it was found.
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        m_disabledOwner = owner;
    }
    if (!Create(owner)) {
        ReleaseOwner();
        return;
    }

    MSG msg{};
    while (Handle()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: its own loop must see the quit too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!::IsDialogMessageW(Handle(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (Handle())
        Close();
}

void MusicPanel::LayOut()
{
    base::UniqueFont font(::CreateFontW(-base::Scaled(kFontPixels, m_dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                        GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, kFontFace));
    const auto place = [&](HWND control, const RECT& design) {
        // Set even when null (the system font): the old one is about to go.
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        const RECT at = base::ScaledRect(design, m_dpi);
        ::SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (const ButtonPlace& button : kButtonPlaces)
        place(Button(button.number), button.rect);
    place(m_list, kListRect);
    // Only now that no control uses it.
    m_font = std::move(font);
    UpdateHorizontalExtent();
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND MusicPanel::Button(int number) const
{
    return number >= 1 && number <= static_cast<int>(std::size(m_buttons)) ? m_buttons[number - 1] : nullptr;
}

HWND MusicPanel::List() const
{
    return m_list;
}

void MusicPanel::LoadPlaylistIntoPanel()
{
    // Always replaced, even by nothing: an emptied or unreadable file must
    // stop the music timer from moving on through tracks it no longer lists.
    const std::vector<std::wstring> lines = LoadPlaylistFile(m_settings.playlistPath, m_settings.codePage).lines;
    if (m_settings.playlist)
        *m_settings.playlist = lines;
    if (!m_list)
        return;

    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines)
        ::SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
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
    const LRESULT count = ::SendMessageW(m_list, LB_GETCOUNT, 0, 0);
    if (count > 0)
        ::SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
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
    if (added && m_list) // bring the new rows into view
        ::SendMessageW(m_list, LB_SETTOPINDEX, firstNew, 0);
}

void MusicPanel::DeleteSelectedTrack()
{
    const int selected = SelectedRow();
    const std::wstring doomed = RowText(selected);
    if (doomed.empty())
        return;
    // Every copy of the path goes, from the file and so from the rows.
    (void)ChangePlaylist([&](std::vector<std::wstring>& lines) { std::erase(lines, doomed); });
    const LRESULT count = m_list ? ::SendMessageW(m_list, LB_GETCOUNT, 0, 0) : 0;
    if (count > 0)
        ::SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(std::min<LRESULT>(selected, count - 1)), 0);
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
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || !m_settings.shell)
        return;
    m_settings.shell->OpenFolder(path.substr(0, slash + 1));
}

void MusicPanel::PlaySelectedTrack()
{
    const std::wstring path = RowText(SelectedRow());
    if (!path.empty() && m_settings.playSelected)
        m_settings.playSelected(path);
}

LRESULT MusicPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DPICHANGED:
        m_dpi = TakeSuggestedDpiRect(wParam, lParam);
        LayOut();
        return 0;
    case WM_ACTIVATE:
        m_focus.OnActivate(Handle(), wParam);
        return Default(message, wParam, lParam);
    case WM_SETFOCUS:
        m_focus.OnSetFocus(Handle(), m_list); // the list first: the panel is about its rows
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        // Closed some other way (its owner went first): never leave the
        // owner disabled.
        ReleaseOwner();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void MusicPanel::OnDestroyed()
{
    m_buttons[0] = m_buttons[1] = m_buttons[2] = m_buttons[3] = m_buttons[4] = nullptr;
    m_list = nullptr;
    m_focus.Forget();
}

void MusicPanel::OnCommand(int id, int code)
{
    if (id == kListId) {
        if (code == LBN_DBLCLK)
            PlaySelectedTrack();
        return;
    }
    if (id == IDCANCEL) { // Escape
        Close();
        return;
    }
    if (id == IDOK) { // Enter: the focused control acts
        HWND focus = ::GetFocus();
        if (focus == m_list)
            PlaySelectedTrack();
        else if (focus && std::ranges::find(m_buttons, focus) != std::end(m_buttons))
            ::SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id - kFirstButtonId + 1) {
    case 1:
        AddSingleTrack();
        break;
    case 2:
        AddFolderTracks();
        break;
    case 3:
        DeleteSelectedTrack();
        break;
    case 4:
        DeleteAllTracks();
        break;
    case 5:
        OpenTrackFolder();
        break;
    default:
        break;
    }
}

void MusicPanel::Close()
{
    // Enabled before the panel goes, so Windows hands activation back to
    // the owner instead of some other program.
    ReleaseOwner();
    if (Handle())
        ::DestroyWindow(Handle());
}

void MusicPanel::ReleaseOwner()
{
    if (m_disabledOwner)
        ::EnableWindow(m_disabledOwner, TRUE);
    m_disabledOwner = nullptr;
}

int MusicPanel::SelectedRow() const
{
    return m_list ? static_cast<int>(::SendMessageW(m_list, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

std::wstring MusicPanel::RowText(int row) const
{
    if (!m_list || row < 0)
        return {};
    const LRESULT length = ::SendMessageW(m_list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(m_list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::vector<std::wstring> MusicPanel::Rows() const
{
    std::vector<std::wstring> rows;
    const LRESULT count = m_list ? ::SendMessageW(m_list, LB_GETCOUNT, 0, 0) : 0;
    for (int row = 0; row < count; ++row)
        rows.push_back(RowText(row));
    return rows;
}

void MusicPanel::UpdateHorizontalExtent()
{
    if (!m_list)
        return;
    const base::WindowDc dc(m_list);
    if (!dc)
        return;
    // Measured with what the list draws with; without a font set, the DC's own is that.
    const base::SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(m_list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::wstring& row : Rows()) {
        SIZE size{};
        if (::GetTextExtentPoint32W(dc.get(), row.c_str(), static_cast<int>(row.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SendMessageW(m_list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + base::Scaled(kExtentMargin, m_dpi)),
                   0);
}

std::wstring SystemPanelShell::ChooseTrackFile(HWND owner)
{
    // Room for long paths; the dialog writes one name and a terminator.
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"MP3文件(*.mp3)\0*.mp3\0"; // the literal adds the closing second NUL
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt = kTrackExtension;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog))
        return {};
    buffer.resize(::wcsnlen(buffer.c_str(), buffer.size()));
    return buffer;
}

std::wstring SystemPanelShell::ChooseFolder(HWND owner, const std::wstring& title)
{
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    std::wstring path(32768, L'\0');
    if (!::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
        path.assign(MAX_PATH, L'\0');
        if (!::SHGetPathFromIDListW(chosen, path.data()))
            path.clear();
    }
    ::CoTaskMemFree(chosen);
    path.resize(::wcsnlen(path.c_str(), path.size()));
    return path;
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
