// The built program driven from the keyboard: typed text (Chinese included)
// finds a shortcut, Enter starts it, Esc gives the list back.

#include "ProgramRunner.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

TEST(Keyboard, TypedTextFindsAShortcutAndEnterStartsIt)
{
    ProgramCopy copy;
    const std::wstring folder = copy.PathOf(L"记录器");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((BuildFolder() + L"\\record_launch.exe").c_str(), (folder + L"\\record_launch.exe").c_str(),
                            FALSE))
        << "build record_launch first";
    copy.AddShortcut(L"工具", L"记事本", L"C:\\windows\\notepad.exe");
    copy.AddShortcut(L"工具", L"Recorder 记录", folder + L"\\record_launch.exe");
    copy.AddShortcut(L"其他", L"regedit", L"C:\\windows\\regedit.exe");
    copy.AddGroup(L"空");

    RunningProgram program(copy);
    HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    HWND list = FindListBox(window);
    const auto rows = [list] { return RowCount(list); };
    const auto rowText = [list](int row) { return RowText(list, row); };
    ASSERT_EQ(rows(), 3);
    // Just after another program ends, a new window's first key may be lost
    // unless it is surely in front.
    ASSERT_TRUE(BringToFront(window));

    TypeText(L"DER 记");
    EXPECT_TRUE(WaitUntil([&] { return rows() == 2 && rowText(1) == L" Recorder 记录"; }, 10000))
        << "its group and the one match: " << rows();
    PressKey(VK_RETURN);
    const std::wstring record = folder + L"\\launched.txt";
    EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        << "Enter did not start the match";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return rows() == 3; }, 10000)) << "the groups, closed as before";
}
