// The built program's right-click menus and keys with real input: a menu
// opened by the mouse and by the Apps key, the path copied, a rename typed in
// place, a missing program marked and told, a shortcut deleted to the
// recycle bin.

#include "ProcessWindow.h"
#include "ProgramRunner.h"
#include "RealInput.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

// The visible window of the class in the program, if one shows.
HWND ShownWindowOfClass(DWORD process, const wchar_t* className)
{
    return FindVisibleProcessWindow(process, className);
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Every static text of a dialog, one after another.
std::wstring DialogText(HWND dialog)
{
    std::wstring text;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16]{}, part[256]{};
        ::GetClassNameW(child, className, 16);
        if (::lstrcmpiW(className, L"Static") == 0 && ::GetWindowTextW(child, part, 256) > 0)
            text += part;
    }
    return text;
}

} // namespace

TEST(ListMenus, MenusAndKeysChangeTheCatalogueWhereTheShortcutStands)
{
    ProgramCopy copy;
    const std::wstring program = BuildFolder() + L"\\record_launch.exe";
    copy.AddShortcut(L"工具", L"记录", program);
    copy.AddShortcut(L"工具", L"旧", program);
    copy.AddShortcut(L"工具", L"丢失", L"C:\\nowhere\\gone.exe");
    const std::wstring tools = copy.PathOf(L"Favorites\\工具\\");

    RunningProgram running(copy);
    const HWND window = running.WaitForMainWindow();
    ASSERT_TRUE(window);
    const HWND list = FindListBox(window);
    ASSERT_TRUE(BringToFront(window));
    const auto rows = [list] { return RowCount(list); };
    const auto rowText = [list](int row) { return RowText(list, row); };
    const auto rowOf = [&](const std::wstring& start) {
        for (int row = 0; row < rows(); ++row)
            if (rowText(row).starts_with(start))
                return row;
        return -1;
    };
    const auto centreOf = [&](int row) {
        RECT r{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return ScreenPointOf(list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
    const auto menuShown = [&] { return ShownWindowOfClass(running.ProcessId(), L"#32768") != nullptr; };
    const auto exists = [&](const std::wstring& name) {
        return ::GetFileAttributesW((tools + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };

    Click(centreOf(0));
    ASSERT_TRUE(WaitUntil([&] { return rows() == 4; }, kPatience));
    // The missing program says so in the row's text, which screen readers read.
    ASSERT_TRUE(WaitUntil([&] { return rowOf(L" 丢失 (找不到程序)") > 0; }, kPatience)) << base::ToUtf8(rowText(1));

    // The mouse's menu: 复制路径 by its access key.
    RightClick(centreOf(rowOf(L" 记录")));
    ASSERT_TRUE(WaitUntil(menuShown, kPatience)) << "no menu";
    PressKey('C');
    ASSERT_TRUE(WaitUntil([&] { return !menuShown(); }, kPatience));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == program; }, kPatience)) << base::ToUtf8(ClipboardText());

    // F2 on the shortcut the right-click selected: typed in place, kept on Enter.
    PressKey(VK_F2);
    ASSERT_TRUE(WaitUntil([&] { return FindChildOfClass(list, L"Edit") != nullptr; }, kPatience)) << "no edit";
    TypeText(L"录音");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return exists(L"录音.txt") && !exists(L"记录.txt"); }, kPatience));
    EXPECT_TRUE(WaitUntil([&] { return rowOf(L" 录音") > 0 && rows() == 4; }, kPatience)) << "the group stays open";

    // The keyboard's menu, from the Apps key; Esc closes it.
    Click(centreOf(rowOf(L" 丢失")));
    PressKey(VK_APPS);
    ASSERT_TRUE(WaitUntil(menuShown, kPatience)) << "no menu from the Apps key";
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !menuShown(); }, kPatience));

    // Starting it tells why nothing starts.
    PressKey(VK_RETURN);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = ShownWindowOfClass(running.ProcessId(), L"#32770")) != nullptr; },
                          kPatience));
    EXPECT_EQ(DialogText(box), L"找不到程序：C:\\nowhere\\gone.exe");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, kPatience));

    // Delete asks, and 是 (the default) sends the file to the recycle bin.
    Click(centreOf(rowOf(L" 旧")));
    PressKey(VK_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return (box = ShownWindowOfClass(running.ProcessId(), L"#32770")) != nullptr; },
                          kPatience));
    EXPECT_EQ(DialogText(box), L"确定要删除“旧”吗？");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !exists(L"旧.txt"); }, kPatience));
    EXPECT_TRUE(WaitUntil([&] { return rows() == 3 && rowOf(L" 旧") < 0; }, kPatience));
}
