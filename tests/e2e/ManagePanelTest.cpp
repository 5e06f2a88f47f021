// The built program's management panel, used with the mouse and keyboard:
// a group and a shortcut added through its controls become a list entry
// that starts its program.

#include "ProgramRunner.h"
#include "ProcessWindow.h"
#include "RealInput.h"

#include "app/MainLayout.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace testing_support;

namespace {

// Controls on the panel's first tab stand at the tab control's corner plus their own place.
constexpr POINT kTabCorner = {13, 12};

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A control's text as the program holds it, typed text included.
std::wstring TextOf(HWND control)
{
    wchar_t text[256]{};
    ::SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK AddText(HWND child, LPARAM texts)
{
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(TextOf(child));
    return TRUE;
}

bool ShowsText(HWND window, const std::wstring& text)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(window, AddText, reinterpret_cast<LPARAM>(&texts));
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The panel, opened with its box on the main window; null if it did not show.
HWND OpenPanel(const RunningProgram& running, HWND main)
{
    Click(ScreenPointOf(main, {app::kManageBoxRect.left + 20, app::kManageBoxRect.top + 11}));
    HWND panel = nullptr;
    (void)WaitUntil([&] { return (panel = FindVisibleProcessWindow(running.ProcessId(), L"QuilleryManagePanel")); },
                    kPatience);
    return panel;
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

    HWND panel = OpenPanel(running, main);
    ASSERT_TRUE(panel);
    // The keyboard works in it as in a dialog: Esc closes it.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(panel); }, kPatience)) << "Esc did not close the panel";
    ASSERT_TRUE((panel = OpenPanel(running, main)));
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

TEST(ManagePanel, EnterAddsWhatItsSectionHoldsAndATakenNameIsAskedAbout)
{
    ProgramCopy copy;
    copy.AddShortcut(L"工具", L"记录", L"C:\\旧\\记录.exe");
    RunningProgram running(copy);
    HWND main = running.WaitForMainWindow();
    ASSERT_TRUE(main);
    HWND panel = OpenPanel(running, main);
    ASSERT_TRUE(panel);
    const auto at = [&](int x, int y) { return ScreenPointOf(panel, {kTabCorner.x + x, kTabCorner.y + y}); };
    const auto isDefault = [](HWND button) {
        return (::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    HWND apply = ::ChildWindowFromPointEx(panel, {492, 340}, CWP_SKIPINVISIBLE);
    // The button at x, y on the tab is the default to the eye (应用 is not) and to the dialog manager.
    const auto looksDefault = [&](int x, int y) {
        HWND button = ::ChildWindowFromPointEx(panel, {kTabCorner.x + x, kTabCorner.y + y}, CWP_SKIPINVISIBLE);
        return isDefault(button) && !isDefault(apply) &&
               ::SendMessageW(panel, DM_GETDEFID, 0, 0) == MAKELRESULT(::GetDlgCtrlID(button), DC_HASDEFID);
    };

    // A group name beginning with "." is refused; Enter then adds the group and the panel stays.
    Click(at(40, 53));
    ::Sleep(200);
    TypeText(L".新");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return ShowsText(panel, L"目录名称不能以“.”开头"); }, kPatience));
    EXPECT_TRUE(looksDefault(408, 96));
    PressKey(VK_HOME);
    PressKey(VK_DELETE);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Exists(copy.PathOf(L"Favorites\\新")); }, kPatience));
    EXPECT_FALSE(Exists(copy.PathOf(L"Favorites\\.新")));
    EXPECT_TRUE(::IsWindowVisible(panel));

    // A shortcut typed field by field with Tab, saved with Enter under a taken name.
    Click(at(40, 143));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindVisibleProcessWindow(running.ProcessId(), L"#32770")); },
                          kPatience));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, kPatience));
    ::Sleep(200);
    Click(at(200, 177));
    TypeText(L"记录");
    PressKey(VK_TAB);
    TypeText(L"D:\\新\\记录.exe");
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    TypeText(L"工具");
    ASSERT_TRUE(WaitUntil([&] { return ShowsText(panel, L"工具"); }, kPatience));
    EXPECT_TRUE(looksDefault(408, 281)) << "Tab through the fields keeps 确定添加 the default";
    PressKey(VK_RETURN);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindVisibleProcessWindow(running.ProcessId(), L"#32770")); }, kPatience));
    EXPECT_TRUE(::GetWindow(box, GW_OWNER) == panel && TextOf(box) == L"管理面板");
    EXPECT_TRUE(ShowsText(box, L"已有同名快捷方式“记录”，要替换吗？"));
    EXPECT_TRUE(isDefault(::GetDlgItem(box, IDNO)));
    PressKey(VK_RETURN); // 否
    EXPECT_TRUE(WaitUntil([&] { return ShowsText(panel, L"未替换“记录”"); }, kPatience));
    EXPECT_EQ(base::ReadTextFile(copy.PathOf(L"Favorites\\工具\\记录.txt"), 936),
              std::optional<std::wstring>(L"C:\\旧\\记录.exe"));
}
