// The built program's management panel, used with the mouse and keyboard:
// a group and a shortcut added through its controls become a list entry
// that starts its program.

#include "ProgramRunner.h"
#include "ProcessWindow.h"
#include "RealInput.h"

#include "app/MainLayout.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

constexpr DWORD kPatience = 10000;
// Controls on the panel's first tab stand at the tab control's corner plus their own place.
constexpr POINT kTabCorner = {13, 12};

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(ManagePanel, AddsAGroupAndAShortcutThatTheListThenStarts)
{
    ProgramCopy copy;
    const std::wstring folder = copy.PathOf(L"程序 琝");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring program = folder + L"\\record_launch.exe";
    ASSERT_TRUE(::CopyFileW((BuildFolder() + L"\\record_launch.exe").c_str(), program.c_str(), FALSE));

    RunningProgram running(copy);
    HWND main = running.WaitForMainWindow();
    ASSERT_TRUE(main);
    HWND list = FindListBox(main);
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);

    const POINT manageBox = ScreenPointOf(main, {app::kManageBoxRect.left + 20, app::kManageBoxRect.top + 11});
    HWND panel = nullptr;
    const auto openPanel = [&] {
        Click(manageBox);
        return WaitUntil([&] { return (panel = FindVisibleProcessWindow(running.ProcessId(), L"QuilleryManagePanel")); },
                         kPatience);
    };
    ASSERT_TRUE(openPanel());
    // The keyboard works in it as in a dialog: Esc closes it.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(panel); }, kPatience)) << "Esc did not close the panel";
    ASSERT_TRUE(openPanel());
    const auto at = [&](int x, int y) { return ScreenPointOf(panel, {kTabCorner.x + x, kTabCorner.y + y}); };
    const auto settle = [] { ::Sleep(200); };

    // A group: choose the mode, type the name, add.
    Click(at(40, 53));
    settle();
    Click(at(200, 97));
    TypeText(L"工具");
    Click(at(408, 96));
    ASSERT_TRUE(WaitUntil([&] { return Exists(copy.PathOf(L"Favorites\\工具")); }, kPatience));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0) << "the list waits for 应用";

    // A shortcut: the mode offers the file dialog at once; cancelled, the
    // path is typed instead.
    Click(at(40, 143));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindVisibleProcessWindow(running.ProcessId(), L"#32770")); },
                          kPatience));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, kPatience));
    settle();
    Click(at(200, 177));
    TypeText(L"记录");
    Click(at(260, 209));
    TypeText(program);
    Click(at(160, 244));
    TypeText(L"工具");
    Click(at(408, 281));
    const std::wstring shortcut = copy.PathOf(L"Favorites\\工具\\记录.txt");
    ASSERT_TRUE(WaitUntil([&] { return Exists(shortcut); }, kPatience));
    EXPECT_EQ(base::ReadTextFile(shortcut, 936), std::optional<std::wstring>(program)) << "exactly the path";

    Click(ScreenPointOf(panel, {492, 340})); // 应用
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(panel); }, kPatience)) << "应用 closes the panel";
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, kPatience));

    const auto rowCentre = [&](int row) {
        RECT r{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return ScreenPointOf(list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
    Click(rowCentre(0));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, kPatience));
    DoubleClick(rowCentre(1));
    EXPECT_TRUE(WaitUntil([&] { return Exists(folder + L"\\launched.txt"); }, 20000)) << "the shortcut starts its program";
}
