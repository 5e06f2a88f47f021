// The built program driven from the keyboard: what the user types finds a
// shortcut, Enter starts it, Esc gives the list back.

#include "ProgramRunner.h"
#include "RealInput.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

constexpr DWORD kPatience = 10000;

BOOL CALLBACK FindFilterTitle(HWND child, LPARAM param)
{
    wchar_t className[32]{};
    ::GetClassNameW(child, className, 32);
    if (std::wstring_view(className) != L"QuilleryFilterTitle")
        return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

// The filter as the window shows it; empty while it shows none.
std::wstring ShownFilter(HWND window)
{
    HWND title = nullptr;
    ::EnumChildWindows(window, FindFilterTitle, reinterpret_cast<LPARAM>(&title));
    if (!title || !::IsWindowVisible(title))
        return {};
    wchar_t text[64]{};
    ::GetWindowTextW(title, text, 64);
    return text;
}

} // namespace

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

    RunningProgram program(copy);
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);
    HWND list = FindListBox(window);
    ASSERT_TRUE(list);
    const auto rows = [list] { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); };
    ASSERT_EQ(rows(), 2);
    // Just after another program ends, a new window's first key may be lost
    // unless it is surely in front.
    ::SetForegroundWindow(window);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == window; }, kPatience));

    TypeText(L"DER 记");
    EXPECT_TRUE(WaitUntil([&] { return ShownFilter(window) == L"DER 记"; }, kPatience))
        << "shows " << base::ToUtf8(ShownFilter(window));
    EXPECT_TRUE(WaitUntil([&] { return rows() == 2; }, kPatience)) << "its group and the one match: " << rows();
    PressKey(VK_RETURN);
    const std::wstring record = folder + L"\\launched.txt";
    EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        << "Enter did not start the match";

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return ShownFilter(window).empty(); }, kPatience));
    EXPECT_EQ(rows(), 2) << "both groups, closed as before";
}
