// The built program's music bar and tray icon, driven with the mouse: real
// MP3 tones played through MCI from awkward paths, the playlist moving past
// a missing file, minimising to Wine's own notification area and coming
// back from it, and closing while hidden there; a playlist too large to
// read, which is left whole.

#include "ProcessWindow.h"
#include "ProgramRunner.h"
#include "RealInput.h"
#include "Tones.h"

#include "app/Configuration.h"
#include "app/MainLayout.h"
#include "base/TextFile.h"
#include "music/Playlist.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

// With no taskbar, Wine shows the icons in a small window of its own.
constexpr wchar_t kWineTrayClass[] = L"__winex11_standalone_tray";

class MusicAndTray : public testing::Test {
protected:
    void Start()
    {
        m_program = std::make_unique<RunningProgram>(m_copy);
        ASSERT_TRUE(m_program->Started());
        m_window = m_program->WaitForMainWindow();
        ASSERT_TRUE(m_window);
    }

    [[nodiscard]] POINT CentreOf(const RECT& box) const
    {
        return ScreenPointOf(m_window, {(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    }

    // The window text of the control at a point of the main window's client area.
    [[nodiscard]] std::wstring TextAt(const RECT& box) const
    {
        HWND child = ::ChildWindowFromPointEx(m_window, {box.left + 2, box.top + 2}, CWP_SKIPINVISIBLE);
        wchar_t text[128]{};
        if (child && child != m_window)
            ::GetWindowTextW(child, text, 128);
        return text;
    }

    [[nodiscard]] bool WaitForText(const RECT& box, const std::wstring& text, DWORD timeoutMs = kPatience) const
    {
        return WaitUntil([&] { return TextAt(box) == text; }, timeoutMs);
    }

    [[nodiscard]] std::wstring SavedTrack() const
    {
        return app::IniFile(m_copy.PathOf(L"Instal.ini")).Read(app::kConfigSection, app::kCurrentMusicKey);
    }

    ProgramCopy m_copy;
    std::unique_ptr<RunningProgram> m_program;
    HWND m_window = nullptr;
};

// The icon windows inside Wine's notification-area window, if it shows.
std::vector<HWND> TrayIcons()
{
    std::vector<HWND> icons;
    HWND tray = ::FindWindowW(kWineTrayClass, nullptr);
    if (!tray || !::IsWindowVisible(tray))
        return icons;
    for (HWND child = ::GetWindow(tray, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child))
            icons.push_back(child);
    return icons;
}

POINT CentreOnScreen(HWND window)
{
    const RECT r = WindowRect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST_F(MusicAndTray, PlaysStopsAndMovesPastAMissingTrackToTheNext)
{
    // 琝 is 0xAC 0x5C in GBK: cut byte-wise, the path would break in two.
    const std::wstring folder = m_copy.PathOf(L"音乐 琝");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring first = folder + L"\\歌琝 一.mp3", missing = folder + L"\\不在.mp3", third = folder + L"\\二.mp3";
    ASSERT_TRUE(CopyTone(L"short", first) && CopyTone(L"long", third)) << "the build makes the tones";
    m_copy.AddGroup(L"工具");
    ASSERT_TRUE(music::WritePlaylist(m_copy.PathOf(L"Favorites\\mp3.txt"), {first, missing, third}, 936));

    Start();
    EXPECT_TRUE(WaitForText(app::kMusicBoxRect, L"歌琝 一")) << "the current track's title at start";
    EXPECT_EQ(TextAt(app::kPlayBoxRect), L"播放") << "nothing plays at start";
    // The boxes that show only a glyph still have a name to read aloud.
    EXPECT_EQ(TextAt(app::kMinimiseBoxRect), L"最小化");
    EXPECT_EQ(TextAt(app::kCloseBoxRect), L"关闭");
    EXPECT_EQ(TextAt(app::kManageBoxRect), L"管理");
    EXPECT_EQ(TextAt(app::kTitleLabelRect), L"Quillery");

    Click(CentreOf(app::kPlayBoxRect));
    EXPECT_TRUE(WaitForText(app::kPlayBoxRect, L"停止"));
    // The one-second tone ends; the missing file is passed over.
    EXPECT_TRUE(WaitForText(app::kMusicBoxRect, L"二", 30000)) << "title now " << ::testing::PrintToString(TextAt(app::kMusicBoxRect));
    EXPECT_EQ(TextAt(app::kPlayBoxRect), L"停止");
    EXPECT_TRUE(WaitUntil([&] { return SavedTrack() == third; }, kPatience))
        << "the track moved on to is remembered at once";

    Click(CentreOf(app::kPlayBoxRect));
    EXPECT_TRUE(WaitForText(app::kPlayBoxRect, L"播放"));

    Click(CentreOf(app::kCloseBoxRect));
    EXPECT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));
    EXPECT_EQ(SavedTrack(), third);
}

TEST_F(MusicAndTray, MinimisesToTheTrayAndComesBackOnADoubleClickOnly)
{
    Start();
    ASSERT_TRUE(TrayIcons().empty()) << "another program's icon is in the way";
    const RECT before = WindowRect(m_window);

    Click(CentreOf(app::kMinimiseBoxRect));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_window); }, kPatience));
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, kPatience)) << "no icon in the tray";

    Click(CentreOnScreen(TrayIcons().front()));
    ::Sleep(700);
    EXPECT_FALSE(::IsWindowVisible(m_window)) << "a single click does nothing";
    ASSERT_EQ(TrayIcons().size(), 1u);

    DoubleClick(CentreOnScreen(TrayIcons().front()));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(m_window) != FALSE; }, kPatience));
    const RECT after = WindowRect(m_window);
    EXPECT_TRUE(::EqualRect(&before, &after)) << "back where it was";
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, kPatience)) << "the icon goes with the restore";

    // Back behind the icon, then closed from outside: position saved, exit
    // code 0, no icon left behind.
    Click(CentreOf(app::kMinimiseBoxRect));
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, kPatience));
    std::wstring command = L"taskkill.exe /PID " + std::to_wstring(m_program->ProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &startup, &info));
    ::CloseHandle(info.hThread);
    ::WaitForSingleObject(info.hProcess, kPatience);
    ::CloseHandle(info.hProcess);
    EXPECT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, kPatience));
    const app::IniFile ini(m_copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), std::to_wstring(before.left));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), std::to_wstring(before.top));
}

TEST_F(MusicAndTray, APlaylistTooLargeToReadIsLeftWholeAndTheWindowWorksOn)
{
    std::string huge;
    while (huge.size() <= 2 << 20)
        huge += "C:\\music\\a.mp3\r\n";
    m_copy.AddGroup(L"工具");
    const std::wstring playlist = m_copy.PathOf(L"Favorites\\mp3.txt");
    ASSERT_TRUE(base::WriteFileAtomic(playlist, huge));
    Start();
    EXPECT_EQ(TextAt(app::kMusicBoxRect), L"") << "no track of it is shown";
    Click(CentreOf(app::kPlayBoxRect));
    ::Sleep(500);
    EXPECT_EQ(TextAt(app::kPlayBoxRect), L"播放") << "nor played";

    // The rest of the window was set up: the title takes drops, the dock timer runs.
    EXPECT_TRUE(::GetWindowLongPtrW(::ChildWindowFromPointEx(m_window, {2, 2}, CWP_SKIPINVISIBLE), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const RECT start = WindowRect(m_window);
    ::SetWindowPos(m_window, nullptr, start.left, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveMouseTo({900, 700});
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(m_window).bottom == 2; }, kPatience)) << "never docked";
    MoveMouseTo({start.left + 100, 1});
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(m_window).bottom == 555; }, kPatience));
    ::SetWindowPos(m_window, nullptr, start.left, start.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Clicked only once it is back where the click is aimed, and no longer at the edge.
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(m_window).top == start.top; }, kPatience));
    ::Sleep(200);

    // The music panel says why it cannot delete everything, rather than doing it.
    Click(CentreOf(app::kMusicBoxRect));
    HWND panel = nullptr, box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (panel = FindVisibleProcessWindow(m_program->ProcessId(), L"QuilleryMusicPanel")); },
                          kPatience));
    EXPECT_EQ(::SendMessageW(FindListBox(panel), LB_GETCOUNT, 0, 0), 0);
    Click(CentreOnScreen(::FindWindowExW(panel, nullptr, L"Button", L"删除全部")));
    ASSERT_TRUE(WaitUntil([&] { return (box = FindVisibleProcessWindow(m_program->ProcessId(), L"#32770")); },
                          kPatience));
    ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, kPatience));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(panel); }, kPatience));
    Click(CentreOf(app::kCloseBoxRect));
    EXPECT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));
    EXPECT_EQ(base::ReadFileBytes(playlist), huge) << "the file is as it was";
}
