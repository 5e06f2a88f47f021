// The built program started from a temporary folder: where its window
// opens, what it writes when it closes, and the single-instance rule.

#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/Configuration.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

using testing_support::ProgramCopy;
using testing_support::RunningProgram;
using testing_support::WindowRect;

namespace {

void ExpectWindowAt(HWND window, int left, int top)
{
    const RECT r = WindowRect(window);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, 275);
    EXPECT_EQ(r.bottom - r.top, 555);
}

void SavePosition(const ProgramCopy& copy, const wchar_t* left, const wchar_t* top)
{
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    ASSERT_TRUE(ini.Write(app::kConfigSection, app::kLeftKey, left));
    ASSERT_TRUE(ini.Write(app::kConfigSection, app::kTopKey, top));
}

// Asks the window to close as the system would, and expects a clean exit.
void CloseAndExpectCleanExit(const RunningProgram& program, HWND window)
{
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

} // namespace

TEST(Startup, FirstRunOpensAt50x50AndCloseSavesThePosition)
{
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    ExpectWindowAt(window, 50, 50);

    wchar_t title[32]{};
    ::GetWindowTextW(window, title, 32);
    EXPECT_STREQ(title, L"Quillery");
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, 0) << "no caption bar";
    EXPECT_NE(::GetFileAttributesW(copy.PathOf(L"Favorites").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // The rounded shape: the corner staircase is outside the window.
    base::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(window, shape.get()), ERROR);
    EXPECT_FALSE(::PtInRegion(shape.get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(shape.get(), 274, 554));
    EXPECT_TRUE(::PtInRegion(shape.get(), 3, 0));
    EXPECT_TRUE(::PtInRegion(shape.get(), 137, 277));

    CloseAndExpectCleanExit(program, window);
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"50");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"50");
}

TEST(Startup, OpensAtTheSavedPositionClampedToTheScreen)
{
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const wchar_t* left;
        const wchar_t* top;
        int expectedLeft;
        int expectedTop;
    } cases[] = {
        {L"300", L"200", 300, 200},
        {L"-40", L"-30", 0, 0},    // off the top left: pulled back
        {L"0", L"120", 0, 120},    // one coordinate 0 is still a saved position
        {L"0", L"0", 50, 50},      // both 0 means none was saved
        {L"5000", L"10", screenWidth - 275, 10},
        // Hand-edited: the extremes of an int, text, and below the screen.
        {L"2147483647", L"-2147483648", screenWidth - 275, 0},
        {L"abc", L"", 50, 50},
        {L"100", L"5000", 100, screenHeight - 555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "saved " << c.left << "," << c.top);
        ProgramCopy copy;
        SavePosition(copy, c.left, c.top);
        // A window at the top edge docks as soon as the mouse is off it.
        testing_support::MoveMouseTo({c.expectedLeft + 137, c.expectedTop + 277});
        RunningProgram program(copy);
        HWND window = program.WaitForMainWindow();
        ASSERT_TRUE(window);
        ExpectWindowAt(window, c.expectedLeft, c.expectedTop);
        CloseAndExpectCleanExit(program, window);
    }
}

TEST(Startup, MovedWindowIsKeptOnScreenAndSavedWhereItIs)
{
    ProgramCopy copy;
    RunningProgram program(copy);
    HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    ::SetWindowPos(window, nullptr, -60, 333, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectWindowAt(window, 0, 333);

    // Closed while minimised, it remembers where it will be restored, not
    // the far-off place Windows parks minimised windows.
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window));
    CloseAndExpectCleanExit(program, window);
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"0");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"333");
}

TEST(Startup, TaskkillClosesItCleanlyAndTheCurrentTrackSurvives)
{
    ProgramCopy copy;
    SavePosition(copy, L"120", L"80");
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    ASSERT_TRUE(ini.Write(app::kConfigSection, app::kCurrentMusicKey, L"D:\\音乐\\歌曲一.mp3"));

    RunningProgram program(copy);
    ASSERT_TRUE(program.WaitForMainWindow());
    // taskkill without /F asks the window to close, as the task list does.
    std::wstring command = L"taskkill.exe /PID " + std::to_wstring(program.ProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &startup, &info));
    base::UniqueKernelHandle taskkill(info.hProcess);
    ::CloseHandle(info.hThread);
    ::WaitForSingleObject(taskkill.get(), 10000);

    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"120");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"80");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kCurrentMusicKey), L"D:\\音乐\\歌曲一.mp3");
}

TEST(Startup, ASecondCopyFromTheSameFolderLeavesAtOnceAndTouchesNothing)
{
    ProgramCopy copy;
    SavePosition(copy, L"210", L"90");
    RunningProgram first(copy);
    HWND window = first.WaitForMainWindow();
    ASSERT_TRUE(window);
    const auto before = base::ReadFileBytes(copy.PathOf(L"Instal.ini"));
    ASSERT_TRUE(before.has_value());

    RunningProgram second(copy);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(5000), std::optional<DWORD>(0));
    EXPECT_EQ(base::ReadFileBytes(copy.PathOf(L"Instal.ini")), before);
    EXPECT_TRUE(::IsWindow(window)) << "the first copy keeps running";

    // A copy in another folder is another box of shortcuts and may run beside it.
    ProgramCopy elsewhere;
    RunningProgram other(elsewhere);
    HWND otherWindow = other.WaitForMainWindow();
    EXPECT_TRUE(otherWindow);
    if (otherWindow)
        CloseAndExpectCleanExit(other, otherWindow);
    CloseAndExpectCleanExit(first, window);
}
