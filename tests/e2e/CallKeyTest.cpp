// The built program found by pinyin and called by its key: typed pinyin
// filters the list, and with another program in front Ctrl+Alt+Q brings the
// window back from the tray ready to type, then sends it back.

#include "ProcessWindow.h"
#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/MainLayout.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

} // namespace

TEST(CallKey, PinyinFindsShortcutsAndTheKeyCallsTheWindowFromTheTray)
{
    ProgramCopy copy;
    copy.AddShortcut(L"工具", L"微信", L"C:\\windows\\notepad.exe");
    copy.AddShortcut(L"工具", L"网易云音乐", L"C:\\windows\\regedit.exe");
    copy.AddShortcut(L"地图", L"重庆地图", L"C:\\windows\\notepad.exe");

    RunningProgram running(copy);
    const HWND window = running.WaitForMainWindow();
    ASSERT_TRUE(window);
    const HWND list = FindListBox(window);
    ASSERT_TRUE(BringToFront(window));
    const auto rows = [list] { return RowCount(list); };
    const auto rowText = [list](int row) { return RowText(list, row); };

    // The initials, then a polyphone's other reading (重 as zhong and chong).
    TypeText(L"wx");
    EXPECT_TRUE(WaitUntil([&] { return rows() == 2 && rowText(1) == L" 微信"; }, kPatience)) << rows();
    PressKey(VK_ESCAPE);
    // Back to the two groups, entries (which start with a blank) hidden.
    ASSERT_TRUE(WaitUntil([&] { return rows() == 2 && rowText(0)[0] != L' ' && rowText(1)[0] != L' '; }, kPatience));

    // To the tray, with a Wine program of another kind in front.
    const RECT box = app::kMinimiseBoxRect;
    Click(ScreenPointOf(window, {(box.left + box.right) / 2, (box.top + box.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, kPatience));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION notepad{};
    wchar_t command[] = L"notepad.exe";
    ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &notepad));
    const base::UniqueKernelHandle process(notepad.hProcess), thread(notepad.hThread);
    HWND other = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (other = FindVisibleProcessWindow(notepad.dwProcessId, L"Notepad")) != nullptr; },
                          kPatience));
    ::SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == other; }, kPatience));

    PressChord({VK_CONTROL, VK_MENU, 'Q'});
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window) && ::GetForegroundWindow() == window; }, kPatience))
        << "the key did not call the window";
    // Ready to type: the keys go to its list.
    TypeText(L"cqdt");
    EXPECT_TRUE(WaitUntil([&] { return rows() == 2 && rowText(1) == L" 重庆地图"; }, kPatience)) << rows();

    PressChord({VK_CONTROL, VK_MENU, 'Q'});
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, kPatience)) << "back to the tray";
    ::TerminateProcess(process.get(), 0);
}
