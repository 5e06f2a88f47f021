#include "music/MusicPanel.h"

#include "GdiCount.h"
#include "TempFolder.h"
#include "base/Dpi.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "music/Playlist.h"

#include "ControlPlaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testing_support::ChangeDpi;
using testing_support::PlacesIn;
using testing_support::ScaledPlaces;

using music::MusicPanel;
using Lines = std::vector<std::wstring>;

[[nodiscard]] std::wstring TextOf(HWND window)
{
    wchar_t text[64]{};
    return {text, static_cast<size_t>(::GetWindowTextW(window, text, 64))};
}


// Answers set by the test; calls recorded, with the window that owned the last dialog.
struct FakeShell final : music::PanelShell {
    std::wstring ChooseTrackFile(HWND owner) override { Record(owner, L"file"); return file; }
    std::wstring ChooseFolder(HWND owner, const std::wstring& title) override { Record(owner, title); return folder; }
    bool Confirm(HWND owner, const std::wstring& question) override
    {
        topmostWhileAsked = (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        Record(owner, question);
        return answer;
    }
    void Tell(HWND owner, const std::wstring& notice) override { Record(owner, L"told " + notice.substr(0, 6)); }
    void OpenFolder(const std::wstring& path) override { Record(lastOwner, L"open " + path); }
    void Record(HWND owner, const std::wstring& call) { calls.push_back(call); lastOwner = owner; }

    std::wstring file, folder;
    bool answer = false, topmostWhileAsked = true;
    Lines calls;
    HWND lastOwner = nullptr;
};

class MusicPanelTest : public ::testing::Test {
protected:
    void Open()
    {
        m_panel = std::make_unique<MusicPanel>(music::MusicPanelSettings{
            .playlistPath = m_path, .codePage = 936, .playlistRead = [this](Lines lines) { m_playlist = std::move(lines); }, .shell = &m_shell,
            .playSelected = [this](const std::wstring& path) { m_played.push_back(path); }});
        ASSERT_TRUE(m_panel->Create(m_owner.get()));
    }
    [[nodiscard]] std::string FileBytes() const { return base::ReadFileBytes(m_path).value_or("(missing)"); }
    void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
    LRESULT ToList(UINT message, WPARAM w = 0, LPARAM l = 0)
    {
        return ::SendMessageW(m_panel->TrackList(), message, w, l);
    }
    [[nodiscard]] Lines Rows()
    {
        Lines rows(ToList(LB_GETCOUNT), std::wstring(1024, L'\0'));
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i].resize(ToList(LB_GETTEXT, i, reinterpret_cast<LPARAM>(rows[i].data())));
        return rows;
    }
    // A key on the focused control, through the dialog manager as in ShowModal.
    bool Press(UINT key)
    {
        MSG msg{::GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
        return ::IsDialogMessageW(m_panel->Handle(), &msg);
    }

    testing_support::TempFolder m_folder;
    std::wstring m_path = m_folder.Path() + L"\\mp3.txt";
    base::UniqueWindow m_owner{
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 300, 250, 200, 100, nullptr, nullptr, nullptr, nullptr)};
    FakeShell m_shell;
    Lines m_playlist{L"stale"}, m_played;
    std::unique_ptr<MusicPanel> m_panel;
};

TEST_F(MusicPanelTest, OpensCentredOverItsOwnerWithTheFileRowsAndItsControlsInPlace)
{
    ASSERT_TRUE(base::WriteFileAtomic(m_path, "C:\\a.mp3\r\n\r\nD:\\b.mp3\r\n"));
    Open();
    HWND panel = m_panel->Handle();
    EXPECT_EQ(TextOf(panel), L"音乐面板");
    RECT at{}, expected{136, 124, 136 + 529, 124 + 352}; // centred over the owner at 300,250, 200 x 100
    ::GetWindowRect(panel, &at);
    EXPECT_TRUE(::EqualRect(&at, &expected)) << at.left << "," << at.top << " " << at.right << "," << at.bottom;

    const std::tuple<HWND, const wchar_t*, RECT> controls[] = {
        {m_panel->AddTrackButton(), L"添加单曲", {8, 5, 80, 29}},
        {m_panel->AddFolderButton(), L"添加文件夹", {88, 5, 168, 29}},
        {m_panel->OpenFolderButton(), L"打开文件夹", {184, 5, 264, 29}},
        {m_panel->DeleteTrackButton(), L"删除音乐", {344, 5, 416, 29}},
        {m_panel->DeleteAllButton(), L"删除全部", {424, 5, 496, 29}},
        {m_panel->TrackList(), nullptr, {8, 32, 512, 312}}};
    for (const auto& [control, caption, place] : controls) {
        EXPECT_TRUE(!caption || TextOf(control) == caption) << caption;
        ::GetWindowRect(control, &at);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&at), 2);
        EXPECT_TRUE(::EqualRect(&at, &place)) << at.left << "," << at.top;
    }
    EXPECT_EQ(::GetFocus(), m_panel->TrackList());
    EXPECT_EQ(Rows(), (Lines{L"C:\\a.mp3", L"D:\\b.mp3"}));
    EXPECT_EQ(m_playlist, Rows());

    // A file emptied behind the panel's back empties the playlist too.
    ASSERT_TRUE(base::WriteFileAtomic(m_path, ""));
    m_panel->LoadPlaylistIntoPanel();
    EXPECT_TRUE(Rows().empty() && m_playlist.empty());
}

TEST_F(MusicPanelTest, AddsTracksAndFoldersToTheFileInItsCodePage)
{
    Open();
    m_shell.file = L"D:\\歌琝.mp3";
    Click(m_panel->AddTrackButton());
    Click(m_panel->AddTrackButton());
    EXPECT_EQ(FileBytes(), *base::NarrowExact(L"D:\\歌琝.mp3\r\nD:\\歌琝.mp3", 936));
    EXPECT_EQ(Rows(), (Lines{L"D:\\歌琝.mp3", L"D:\\歌琝.mp3"}));
    EXPECT_EQ(ToList(LB_GETCURSEL), 1);

    // Plain files named *.mp3 in any case; not c.mp3x, which the system's
    // pattern also matches through its short name.
    const std::wstring& folder = m_folder.Path();
    for (const wchar_t* name : {L"歌琝.mp3", L"b.MP3", L"c.mp3x", L"e.txt"})
        ASSERT_TRUE(base::WriteFileAtomic(folder + L"\\" + name, "x"));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\d.mp3").c_str(), nullptr));
    m_shell.folder = folder;
    Click(m_panel->AddFolderButton());
    Lines rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    std::sort(rows.begin() + 2, rows.end());
    EXPECT_EQ(rows[2] + L"|" + rows[3], folder + L"\\b.MP3|" + folder + L"\\歌琝.mp3");
    EXPECT_EQ(music::ReadPlaylist(m_path, 936), Rows()) << "the 0x5C byte inside 琝 is no separator";
    EXPECT_EQ(m_playlist, Rows());
    EXPECT_EQ(m_shell.calls, (Lines{L"file", L"file", L"浏览文件夹"}));
    EXPECT_EQ(m_shell.lastOwner, m_panel->Handle());
}

TEST_F(MusicPanelTest, DeletingARowRemovesEveryCopyFromTheFileAndTheRowsAlike)
{
    ASSERT_TRUE(music::WritePlaylist(m_path, {L"C:\\a.mp3", L"C:\\b.mp3", L"C:\\a.mp3", L"C:\\c.mp3"}, 936));
    Open();
    Click(m_panel->DeleteTrackButton()); // nothing selected
    EXPECT_EQ(FileBytes(), "C:\\a.mp3\r\nC:\\b.mp3\r\nC:\\a.mp3\r\nC:\\c.mp3");
    ToList(LB_SETCURSEL, 0);
    Click(m_panel->DeleteTrackButton());
    EXPECT_EQ(FileBytes(), "C:\\b.mp3\r\nC:\\c.mp3");
    EXPECT_EQ(Rows(), (Lines{L"C:\\b.mp3", L"C:\\c.mp3"}));
    EXPECT_EQ(m_playlist, Rows());
    EXPECT_EQ(ToList(LB_GETCURSEL), 0) << "the row now where the deleted one was";

    // The last row: the selection moves up, and no deleted copy comes back.
    ToList(LB_SETCURSEL, 1);
    Click(m_panel->DeleteTrackButton());
    EXPECT_EQ(FileBytes(), "C:\\b.mp3");
    EXPECT_EQ(Rows(), Lines{L"C:\\b.mp3"});
    EXPECT_EQ(ToList(LB_GETCURSEL), 0);
}

TEST_F(MusicPanelTest, AFileTooLargeToReadIsNeverWrittenOverAndTheUserIsTold)
{
    std::string huge;
    while (huge.size() <= music::kMaxPlaylistBytes * 2)
        huge += "C:\\a.mp3\r\n";
    ASSERT_TRUE(base::WriteFileAtomic(m_path, huge));
    Open();
    EXPECT_TRUE(ToList(LB_GETCOUNT) == 0 && m_playlist.empty()) << "nothing of it is played either";
    m_shell.file = L"D:\\b.mp3";
    m_shell.answer = true;
    Click(m_panel->AddTrackButton());
    Click(m_panel->DeleteAllButton());
    EXPECT_EQ(FileBytes(), huge);
    EXPECT_EQ(m_shell.calls, (Lines{L"file", L"told 无法读取播放", L"told 无法读取播放"})) << "not even asked";

    // Four bytes short of the limit: a track that would take it over is refused too.
    std::string full;
    LRESULT lines = 1;
    for (; full.size() < music::kMaxPlaylistBytes - 2000; ++lines)
        full += "C:\\" + std::string(1000, 'x') + ".mp3\r\n";
    full += "C:\\" + std::string(music::kMaxPlaylistBytes - 11 - full.size(), 'y') + ".mp3";
    ASSERT_TRUE(base::WriteFileAtomic(m_path, full));
    m_shell.calls.clear();
    Click(m_panel->AddTrackButton());
    EXPECT_EQ(FileBytes(), full);
    EXPECT_EQ(m_shell.calls, (Lines{L"file", L"told 播放列表文件"}));
    EXPECT_EQ(ToList(LB_GETCOUNT), lines);
}

TEST_F(MusicPanelTest, ARewriteKeepsTheEncodingTheFileWasSavedIn)
{
    // Notepad's "Unicode", and UTF-8 as today's editors save it: no mark.
    const std::string utf16 = std::string("\xFF\xFE") + std::string("D\0:\0\\\0\x4C\x6B.\0m\0p\0" "3\0", 16);
    const std::string utf8 = "D:\\\xE6\xAD\x8C.mp3";
    for (const std::string& original : {utf16, utf8}) {
        ASSERT_TRUE(base::WriteFileAtomic(m_path, original));
        Open();
        EXPECT_EQ(Rows(), Lines{L"D:\\歌.mp3"});
        m_shell.file = L"D:\\b.mp3";
        Click(m_panel->AddTrackButton());
        EXPECT_EQ(FileBytes().substr(0, original.size()), original);
        EXPECT_EQ(music::ReadPlaylist(m_path, 936), (Lines{L"D:\\歌.mp3", L"D:\\b.mp3"}));
    }
}

TEST_F(MusicPanelTest, DeleteAllAsksFirstAndCancelLeavesTheFileAlone)
{
    const std::string original = "C:\\a.mp3\r\n\r\nC:\\b.mp3\r\n"; // any rewrite would tidy it
    ASSERT_TRUE(base::WriteFileAtomic(m_path, original));
    Open();
    // Wine keeps an owned window topmost while its owner lies right below
    // it; Windows does not, and a window in between does the same here.
    const base::UniqueWindow between{
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr)};
    Click(m_panel->DeleteAllButton());
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(m_shell.calls, Lines{L"你确定要删除全部吗？"});
    EXPECT_FALSE(m_shell.topmostWhileAsked) << "the question must not open behind the panel";

    m_shell.answer = true;
    Click(m_panel->DeleteAllButton());
    EXPECT_EQ(FileBytes(), "");
    EXPECT_TRUE(Rows().empty() && m_playlist.empty());
    EXPECT_TRUE(::GetWindowLongPtrW(m_panel->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MusicPanelTest, RowsPlayOnDoubleClickOrEnterAndOpenTheirFolder)
{
    ASSERT_TRUE(music::WritePlaylist(m_path, {L"C:\\音乐\\a.mp3", L"C:\\音乐\\b.mp3", L"noslash.mp3"}, 936));
    Open();
    RECT row{};
    ToList(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ToList(message, 0, MAKELPARAM(row.left + 5, row.top + 2));
    EXPECT_EQ(m_played, Lines{L"C:\\音乐\\b.mp3"});

    Click(m_panel->OpenFolderButton());
    ToList(LB_SETCURSEL, 2);
    Click(m_panel->OpenFolderButton()); // no folder to open
    EXPECT_EQ(m_shell.calls, Lines{L"open C:\\音乐\\"});

    ::SetFocus(m_panel->TrackList());
    ToList(LB_SETCURSEL, 0);
    EXPECT_TRUE(Press(VK_RETURN));
    EXPECT_EQ(m_played, (Lines{L"C:\\音乐\\b.mp3", L"C:\\音乐\\a.mp3"}));
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_FALSE(m_panel->Handle());
}

TEST_F(MusicPanelTest, FollowsItsMonitorsScaleAndComesBackAsItWasWithoutLeaking)
{
    ASSERT_TRUE(music::WritePlaylist(m_path, {L"C:\\音乐\\一首名字很长很长的歌.mp3", L"C:\\b.mp3"}, 936));
    Open();
    HWND panel = m_panel->Handle();
    RECT window{}, client{};
    ::GetWindowRect(panel, &window);
    ::GetClientRect(panel, &client);
    const std::vector<testing_support::Place> original = PlacesIn(panel);
    ASSERT_EQ(original.size(), 6u);
    EXPECT_EQ(original[0][4], -12);
    const LRESULT rowHeight = ToList(LB_GETITEMHEIGHT), extent = ToList(LB_GETHORIZONTALEXTENT);
    const int gdi = testing_support::LiveGdiObjects();

    ChangeDpi(panel, 192, {client.right, client.bottom});
    RECT scaled{};
    ::GetClientRect(panel, &scaled);
    EXPECT_TRUE(scaled.right == base::Scaled(client.right, 192) && scaled.bottom == base::Scaled(client.bottom, 192))
        << scaled.right << "x" << scaled.bottom;
    EXPECT_EQ(PlacesIn(panel), ScaledPlaces(original, 192));
    // The rows grow with the font, and the list scrolls as far as its longest path now reaches.
    EXPECT_GE(ToList(LB_GETITEMHEIGHT), rowHeight * 3 / 2);
    EXPECT_GE(ToList(LB_GETHORIZONTALEXTENT), extent * 3 / 2);

    ChangeDpi(panel, 96, {client.right, client.bottom});
    RECT back{};
    ::GetWindowRect(panel, &back);
    EXPECT_TRUE(::EqualRect(&back, &window));
    EXPECT_EQ(PlacesIn(panel), original);
    EXPECT_EQ(ToList(LB_GETITEMHEIGHT), rowHeight);
    EXPECT_EQ(ToList(LB_GETHORIZONTALEXTENT), extent);
    EXPECT_EQ(testing_support::LiveGdiObjects(), gdi) << "every font made for a scale is gone with it";
}

MusicPanel* g_modalPanel = nullptr;
bool g_ownerDisabledMeanwhile = false;

void CALLBACK CloseModalPanel(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    g_ownerDisabledMeanwhile = !::IsWindowEnabled(::GetWindow(g_modalPanel->Handle(), GW_OWNER));
    ::PostMessageW(g_modalPanel->Handle(), WM_CLOSE, 0, 0);
}

TEST_F(MusicPanelTest, ShowModalHoldsTheOwnerUntilClosedAndPassesAQuitOn)
{
    m_panel = std::make_unique<MusicPanel>(
        music::MusicPanelSettings{.playlistPath = m_path, .shell = &m_shell, .playSelected = {}});
    g_modalPanel = m_panel.get();
    // A timer of another window closes the panel: it must keep running.
    ASSERT_TRUE(::SetTimer(nullptr, 0, 50, &CloseModalPanel));
    m_panel->ShowModal(m_owner.get());
    EXPECT_TRUE(g_ownerDisabledMeanwhile);
    EXPECT_TRUE(!m_panel->Handle() && ::IsWindowEnabled(m_owner.get()));

    ::PostQuitMessage(7);
    m_panel->ShowModal(m_owner.get());
    EXPECT_TRUE(!m_panel->Handle() && ::IsWindowEnabled(m_owner.get()));
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

} // namespace
