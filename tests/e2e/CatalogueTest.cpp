// The built program driven with the mouse: the shortcut list read from
// Favorites with the icons kept beside it, launching a shortcut, reloading
// from the title, docking at the top edge and the exit box.

#include "Canvas.h"
#include "FileAge.h"
#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/Configuration.h"
#include "app/MainLayout.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/IconCacheFormat.h"
#include "catalogue/ProgramIcons.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class RunningQuillery : public testing::Test {
protected:
    // 工具 holds two shortcuts, 空 none.
    void AddTwoGroups() const
    {
        m_copy.AddShortcut(L"工具", L"a", L"C:\\windows\\notepad.exe");
        m_copy.AddShortcut(L"工具", L"b", L"C:\\windows\\regedit.exe");
        m_copy.AddGroup(L"空");
    }

    void Start()
    {
        m_program = std::make_unique<RunningProgram>(m_copy);
        ASSERT_TRUE(m_program->Started());
        m_window = m_program->WaitForMainWindow();
        ASSERT_TRUE(m_window);
        m_list = FindListBox(m_window);
        ASSERT_TRUE(m_list);
    }

    [[nodiscard]] int Rows() const { return static_cast<int>(::SendMessageW(m_list, LB_GETCOUNT, 0, 0)); }

    [[nodiscard]] bool WaitForRows(int rows) const
    {
        return WaitUntil([&] { return Rows() == rows; }, kPatience);
    }

    [[nodiscard]] RECT RowRect(int row) const
    {
        RECT r{};
        ::SendMessageW(m_list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }

    [[nodiscard]] int RowHeight(int row) const
    {
        const RECT r = RowRect(row);
        return r.bottom - r.top;
    }

    [[nodiscard]] POINT RowCentre(int row) const
    {
        const RECT r = RowRect(row);
        return ScreenPointOf(m_list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    // The pixels of a row on the screen that are exactly this colour.
    [[nodiscard]] int ColourOnRow(int row, COLORREF colour) const
    {
        const RECT r = RowRect(row);
        const POINT at = ScreenPointOf(m_list, {r.left, r.top});
        const Canvas canvas(r.right - r.left, r.bottom - r.top);
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(canvas.Dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, at.x, at.y, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        int count = 0;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x)
                count += canvas.At(x, y) == colour;
        return count;
    }

    [[nodiscard]] POINT TitlePoint() const { return ScreenPointOf(m_window, {100, 16}); }

    ProgramCopy m_copy;
    std::unique_ptr<RunningProgram> m_program;
    HWND m_window = nullptr;
    HWND m_list = nullptr;
};

using Catalogue = RunningQuillery;
using WindowByMouse = RunningQuillery;

bool SameFolder(std::wstring a, std::wstring b)
{
    // The working folder reads back without its trailing separator.
    for (std::wstring* path : {&a, &b})
        if (path->size() > 3 && path->back() == L'\\')
            path->pop_back();
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

TEST_F(Catalogue, GroupsStartCollapsedAndAClickOnOneShowsItsShortcuts)
{
    AddTwoGroups();
    Start();
    ASSERT_EQ(Rows(), 2);

    Click(RowCentre(0));
    ASSERT_TRUE(WaitForRows(4)) << "rows: " << Rows();
    // Shortcut rows are 30 high, group rows 24: the shortcuts open right below their group.
    EXPECT_EQ(RowHeight(1), 30);
    EXPECT_EQ(RowHeight(2), 30);
    EXPECT_EQ(RowHeight(3), 24);

    Click(RowCentre(0));
    EXPECT_TRUE(WaitForRows(2)) << "a second click folds it again";
}

TEST_F(Catalogue, DoubleClickOnAShortcutStartsItsProgramInItsFolder)
{
    if (::GetACP() != 936)
        GTEST_SKIP() << "needs the GBK code page (LANG=zh_CN.UTF-8)";
    // 乗 ends in the byte of "\": a byte-wise search would cut the path there.
    ASSERT_EQ(base::NarrowExact(L"乗", 936), std::optional<std::string>("\x81\x5C"));
    const std::wstring folder = m_copy.PathOf(L"工具乗");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring program = folder + L"\\record_launch.exe";
    ASSERT_TRUE(::CopyFileW((BuildFolder() + L"\\record_launch.exe").c_str(), program.c_str(), FALSE))
        << "build record_launch first";
    m_copy.AddShortcut(L"工具", L"记录", program);

    Start();
    Click(RowCentre(0));
    ASSERT_TRUE(WaitForRows(2));
    DoubleClick(RowCentre(1));

    const std::wstring record = folder + L"\\launched.txt";
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        << "the shortcut's program did not start";
    const std::optional<std::wstring> started = base::ReadTextFile(record, CP_UTF8);
    ASSERT_TRUE(started.has_value());
    EXPECT_TRUE(SameFolder(*started, folder)) << "started in " << base::ToUtf8(*started);
}

TEST_F(Catalogue, ShortcutAndPlaylistFilesFromEditorsWorkAndBadOnesLoadQuietly)
{
    // Three recorders, each saying in its own folder that it ran.
    std::vector<std::wstring> folders;
    for (const wchar_t* name : {L"行尾", L"宽字符", L"应用"}) {
        folders.push_back(m_copy.PathOf(name));
        ASSERT_TRUE(::CreateDirectoryW(folders.back().c_str(), nullptr));
    }
    folders.back() += L"\\程序";
    ASSERT_TRUE(::CreateDirectoryW(folders.back().c_str(), nullptr));
    for (const std::wstring& folder : folders)
        ASSERT_TRUE(::CopyFileW((BuildFolder() + L"\\record_launch.exe").c_str(),
                                (folder + L"\\record_launch.exe").c_str(), FALSE));
    m_copy.AddGroup(L"杂");
    const auto write = [&](const std::wstring& name, std::string_view bytes) {
        ASSERT_TRUE(base::WriteFileAtomic(m_copy.PathOf(L"Favorites\\") + name, bytes));
    };
    // Saved by a text editor: a final line break.
    const std::optional<std::string> crlf = base::NarrowExact(folders[0] + L"\\record_launch.exe\r\n", 936);
    ASSERT_TRUE(crlf.has_value());
    write(L"杂\\行尾.txt", *crlf);
    // Notepad's "Unicode".
    const std::wstring wide = folders[1] + L"\\record_launch.exe";
    std::string utf16 = "\xFF\xFE";
    for (const wchar_t c : wide)
        utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    write(L"杂\\宽.txt", utf16);
    // Today's Notepad: UTF-8 without a byte-order mark, in shortcuts and the playlist alike.
    write(L"杂\\程序.txt", base::ToUtf8(folders[2] + L"\\record_launch.exe"));
    write(L"mp3.txt", base::ToUtf8(L"D:\\音乐\\晨曦.mp3\r\nD:\\音乐\\渔舟唱晚.mp3"));
    write(L"杂\\大.txt", std::string(200 * 1024, 'x'));
    write(L"杂\\图.txt", std::string_view("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));

    Start();
    HWND musicBox = ::ChildWindowFromPointEx(m_window, {app::kMusicBoxRect.left + 2, app::kMusicBoxRect.top + 2},
                                             CWP_SKIPINVISIBLE);
    wchar_t title[64]{};
    ::GetWindowTextW(musicBox, title, 64);
    EXPECT_STREQ(title, L"晨曦") << "the first track's title, not its bytes read as GBK";

    Click(RowCentre(0));
    ASSERT_TRUE(WaitForRows(6)) << "rows: " << Rows();
    for (int row = 1; row <= 5; ++row) {
        DoubleClick(RowCentre(row));
        // Apart in time, so no two clicks make a double-click of their own.
        ::Sleep(600);
    }
    for (const std::wstring& folder : folders) {
        const std::wstring record = folder + L"\\launched.txt";
        EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
            << "did not start: " << base::ToUtf8(folder);
    }
    EXPECT_EQ(Rows(), 6) << "the window still answers";
    EXPECT_FALSE(m_program->WaitForExit(0).has_value()) << "the program is still running";
}

TEST_F(Catalogue, DoubleClickOnTheTitleReloadsFromDisk)
{
    AddTwoGroups();
    Start();
    ASSERT_EQ(Rows(), 2);

    m_copy.AddGroup(L"新");
    m_copy.AddShortcut(L"工具", L"c", L"C:\\windows\\winhlp32.exe");
    DoubleClick(TitlePoint());
    ASSERT_TRUE(WaitForRows(3)) << "rows: " << Rows();

    // 工具 sorts first and now holds three shortcuts.
    Click(RowCentre(0));
    EXPECT_TRUE(WaitForRows(6)) << "rows: " << Rows();
}

TEST_F(Catalogue, KeptIconsShowFromTheCacheAndAStaleOneIsMadeAfreshAndKept)
{
    AddTwoGroups();
    const std::wstring notepad = L"C:\\windows\\notepad.exe";
    const std::wstring regedit = L"C:\\windows\\regedit.exe";
    constexpr COLORREF kKept = RGB(12, 34, 56);
    constexpr COLORREF kStale = RGB(200, 30, 40);
    const auto picture = [](COLORREF colour) {
        return std::make_shared<const std::vector<std::uint8_t>>(
            catalogue::IconToPicture(nullptr, nullptr, 32, 32, colour));
    };
    const catalogue::FileStamp notepadNow = catalogue::CheckProgramFile(notepad).stamp;
    catalogue::FileStamp regeditBefore = catalogue::CheckProgramFile(regedit).stamp;
    ASSERT_TRUE(notepadNow.known && regeditBefore.known);
    regeditBefore.writeTime -= 10000000; // a second older: another file was there
    const std::wstring cacheFile = m_copy.PathOf(L"IconCache.dat");
    const std::wstring unlisted = L"C:\\no longer listed.exe";
    ASSERT_TRUE(base::WriteFileAtomic(cacheFile, catalogue::EncodeIconCache({{
                                                     {notepad, 32, notepadNow, false, picture(kKept)},
                                                     {regedit, 32, regeditBefore, false, picture(kStale)},
                                                     {unlisted, 32, notepadNow, false, picture(kStale)},
                                                 }, {}})));
    // Written long ago, "a" is kept with where it points; "b" was written just now.
    const std::wstring settled = m_copy.PathOf(L"Favorites\\工具\\a.txt");
    ASSERT_TRUE(testing_support::DateBack(settled, 3600));
    Start();
    Click(RowCentre(0));
    ASSERT_TRUE(WaitForRows(4)) << "rows: " << Rows();
    EXPECT_TRUE(WaitUntil([&] { return ColourOnRow(1, kKept) >= 300 && ColourOnRow(2, kStale) == 0; }, kPatience))
        << "notepad's kept picture: " << ColourOnRow(1, kKept) << " pixels, regedit's stale one: "
        << ColourOnRow(2, kStale);

    // Closed, it keeps what it has: regedit's picture made afresh, the path
    // no shortcut names any longer dropped.
    ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    ASSERT_EQ(m_program->WaitForExit(), std::optional<DWORD>(0));
    const std::optional<std::string> bytes = base::ReadFileBytes(cacheFile);
    ASSERT_TRUE(bytes);
    const auto records = catalogue::DecodeIconCache(*bytes);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->shortcuts.size(), 1u);
    EXPECT_TRUE(catalogue::SameFileName(records->shortcuts[0].file, settled)) << records->shortcuts[0].file;
    EXPECT_EQ(records->shortcuts[0].program, notepad);
    ASSERT_EQ(records->pictures.size(), 2u);
    for (const catalogue::CachedPicture& record : records->pictures) {
        if (record.path == notepad) {
            EXPECT_EQ(*record.picture, *picture(kKept));
        } else {
            EXPECT_EQ(record.path, regedit);
            EXPECT_EQ(record.stamp, catalogue::CheckProgramFile(regedit).stamp);
            EXPECT_NE(*record.picture, *picture(kStale));
        }
    }
}

TEST_F(WindowByMouse, DraggedToTheTopItDocksWhenTheMouseLeavesAndReturnsAtTheStrip)
{
    Start();
    const RECT start = WindowRect(m_window);
    const POINT grip = TitlePoint();
    // Dragged 16 pixels further up than the screen allows.
    Drag(grip, {grip.x, 0}, 10);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(m_window).top == 0; }, kPatience))
        << "top " << WindowRect(m_window).top;
    EXPECT_EQ(WindowRect(m_window).left, start.left);

    const auto docked = [&] {
        const RECT r = WindowRect(m_window);
        return r.top == 0 && r.right - r.left == 275 && r.bottom - r.top == 2;
    };
    const auto whole = [&] {
        const RECT r = WindowRect(m_window);
        return r.top == 0 && r.right - r.left == 275 && r.bottom - r.top == 555;
    };
    EXPECT_TRUE(whole()) << "the mouse is still over it";
    MoveMouseTo({900, 700});
    ASSERT_TRUE(WaitUntil(docked, kPatience));

    // Only the top three rows of the screen (0, 1, 2) touch the strip.
    MoveMouseTo({start.left + 100, 3});
    ::Sleep(400);
    EXPECT_TRUE(docked()) << "came back with the mouse below the strip";
    MoveMouseTo({start.left + 100, 2});
    EXPECT_TRUE(WaitUntil(whole, kPatience));
}

TEST_F(WindowByMouse, TheExitBoxEndsTheProgramAndSavesThePosition)
{
    Start();
    Click(ScreenPointOf(m_window, {250, 12}));
    EXPECT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));
    const app::IniFile ini(m_copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"50");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"50");
}
