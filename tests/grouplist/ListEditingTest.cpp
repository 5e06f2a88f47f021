// Renaming in place, the keyboard's context menu, the selection a host
// reads back, and the path tooltip: real windows, real messages.

#include "grouplist/ListFixture.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Report {
    std::string name;
    int item = 0, x = 0, y = 0;
    bool operator==(const Report&) const = default;
};
using Commits = std::vector<std::pair<int, std::wstring>>;

std::wstring Text(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// Rows: G (expanded) 0, one 1, two 2, H (collapsed, holding three) 3. The
// host holds controls, as the program's panels do, so the keys go through
// the dialog manager as the program's message loop sends them.
class ListEditing : public testing_support::ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        if (HasFatalFailure())
            return;
        ::SetWindowLongPtrW(m_host, GWL_EXSTYLE, ::GetWindowLongPtrW(m_host, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        Populate();
    }
    void Populate()
    {
        g = m_control.AddGroup(L"G", true);
        e1 = AddEntry(g, L"one");
        e2 = AddEntry(g, L"two");
        h = m_control.AddGroup(L"H");
        e3 = AddEntry(h, L"three");
    }
    grouplist::RenameHandler Recorder(bool accept)
    {
        return [this, accept](int item, const std::wstring& text) {
            commits.emplace_back(item, text);
            return accept;
        };
    }
    grouplist::ListEventHandler Record(const char* name)
    {
        return [this, name](int item, int x, int y) { reports.push_back({name, item, x, y}); };
    }
    // The program's loop: the dialog manager first for windows that hold controls.
    static void RunLoop()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
                ::IsDialogMessageW(root, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // Runs the loop for a while, or until done holds; whether it does.
    template <typename Done>
    static bool RunFor(DWORD ms, Done done)
    {
        for (const DWORD end = ::GetTickCount() + ms; !done() && static_cast<LONG>(end - ::GetTickCount()) > 0;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            RunLoop();
        }
        return done();
    }
    // Characters typed, then a key pressed and released.
    static void Type(HWND window, const std::wstring& text, WPARAM key = 0)
    {
        for (const wchar_t c : text)
            ::PostMessageW(window, WM_CHAR, c, 1);
        if (key) {
            ::PostMessageW(window, WM_KEYDOWN, key, 1);
            ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        }
        RunLoop();
    }
    static DWORD Selection(HWND edit) { return static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0)); }
    // The edit's place in the list.
    [[nodiscard]] RECT EditRect(HWND edit) const
    {
        RECT rect{};
        ::GetWindowRect(edit, &rect);
        ::MapWindowPoints(nullptr, m_list, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void Press(UINT message, int row)
    {
        ::SendMessageW(m_list, message, 0, MAKELPARAM(100, RowRect(row).top + 8));
    }

    int g = 0, h = 0, e1 = 0, e2 = 0, e3 = 0;
    Commits commits;
    std::vector<Report> reports;
};

TEST_F(ListEditing, EnterHandsTheTypedNameToTheHostOnceAndEscCancels)
{
    int keysOffered = 0;
    m_control.SetKeyHandler([&](UINT, WPARAM) {
        ++keysOffered;
        return false;
    });
    m_control.SetEntryDoubleClickHandler(Record("started"));
    ASSERT_TRUE(m_control.BeginRename(e1, L"one", Recorder(false)));
    const HWND edit = m_control.RenameEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(::GetParent(edit), m_list);
    EXPECT_EQ(::GetFocus(), edit);
    EXPECT_EQ(Text(edit), L"one");
    EXPECT_EQ(Selection(edit), MAKELONG(0, 3));
    // Over the name beside the picture, within the row.
    const RECT place = EditRect(edit);
    EXPECT_NEAR(place.left, 50, 5);
    EXPECT_GE(place.top, RowRect(1).top);
    EXPECT_LE(place.bottom, RowRect(1).top + 27);

    Type(edit, L"uno", VK_RETURN);
    EXPECT_EQ(commits, (Commits{{e1, L"uno"}}));
    EXPECT_EQ(m_control.RenameEdit(), edit) << "refused: the user corrects it";
    EXPECT_EQ(Selection(edit), MAKELONG(0, 3));
    EXPECT_EQ(::GetFocus(), edit);

    m_control.CancelRename();
    ASSERT_TRUE(m_control.BeginRename(e1, L"uno", Recorder(true)));
    Type(m_control.RenameEdit(), L"eins", VK_RETURN);
    EXPECT_EQ(commits, (Commits{{e1, L"uno"}, {e1, L"eins"}}));
    EXPECT_EQ(m_control.RenameEdit(), nullptr);
    EXPECT_EQ(::GetFocus(), m_list);

    // A group's name is edited after its arrow; Esc leaves without a report.
    ASSERT_TRUE(m_control.BeginRename(g, L"G", Recorder(true)));
    const HWND groupEdit = m_control.RenameEdit();
    EXPECT_NEAR(EditRect(groupEdit).left, 25, 5);
    Type(groupEdit, L"x", VK_ESCAPE);
    EXPECT_EQ(m_control.RenameEdit(), nullptr);
    EXPECT_FALSE(::IsWindow(groupEdit));
    EXPECT_EQ(commits.size(), 2u);
    EXPECT_EQ(keysOffered, 0) << "typing went to the edit, not to the host's keys";
    EXPECT_TRUE(reports.empty());
}

TEST_F(ListEditing, PressesFocusScrollingAndLostRowsCancelButMovedRowsAreFollowed)
{
    const auto begin = [&] { return m_control.BeginRename(e2, L"two", Recorder(true)); };
    ASSERT_TRUE(begin());
    Press(WM_LBUTTONDOWN, 0);
    EXPECT_EQ(m_control.RenameEdit(), nullptr) << "a press elsewhere";
    ASSERT_TRUE(begin());
    ::SetFocus(m_host);
    EXPECT_EQ(m_control.RenameEdit(), nullptr) << "the keyboard went";
    ASSERT_TRUE(begin());
    ::SendMessageW(m_list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(100, 100));
    EXPECT_EQ(m_control.RenameEdit(), nullptr) << "the wheel";
    ASSERT_TRUE(begin());
    m_control.CollapseGroup(g);
    EXPECT_EQ(m_control.RenameEdit(), nullptr) << "its row went";
    EXPECT_FALSE(begin()) << "no row to edit on";

    m_control.ExpandGroup(g);
    ASSERT_TRUE(begin());
    const HWND edit = m_control.RenameEdit();
    ASSERT_EQ(m_control.DeleteEntry(e1), 1);
    EXPECT_EQ(m_control.RenameEdit(), edit) << "the row above went";
    EXPECT_GE(EditRect(edit).top, RowRect(1).top);
    EXPECT_LT(EditRect(edit).bottom, RowRect(1).bottom);
    // Another item's rename replaces this one.
    ASSERT_TRUE(m_control.BeginRename(g, L"G", Recorder(true)));
    EXPECT_FALSE(::IsWindow(edit));
    m_control.SetDpi(144);
    EXPECT_EQ(m_control.RenameEdit(), nullptr) << "a new scale";
    EXPECT_TRUE(commits.empty());
}

TEST_F(ListEditing, TheHandlerMayReloadOrDestroyTheList)
{
    bool editAlive = false;
    const auto reload = [&](bool accept) {
        return [&, accept](int, const std::wstring&) {
            m_control.DeleteGroup();
            Populate();
            editAlive = ::IsWindow(m_control.RenameEdit()) != FALSE;
            return accept;
        };
    };
    for (const bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        ASSERT_TRUE(m_control.BeginRename(e1, L"one", reload(accept)));
        Type(m_control.RenameEdit(), {}, VK_RETURN);
        EXPECT_TRUE(editAlive) << "the edit waits for the handler";
        EXPECT_EQ(m_control.RenameEdit(), nullptr);
        EXPECT_EQ(Rows(), (std::vector<int>{g, e1, e2, h}));
    }
    ASSERT_TRUE(m_control.BeginRename(e1, L"one", [&](int, const std::wstring&) {
        ::DestroyWindow(m_host);
        return true;
    }));
    Type(m_control.RenameEdit(), {}, VK_RETURN);
    EXPECT_FALSE(m_control.IsCreated());
    m_host = nullptr;
}

// Apps (or Shift+F10) comes to the list as WM_CONTEXTMENU at (-1, -1), made
// by the system only from input that comes through the keyboard.
TEST_F(ListEditing, KeyboardMenuReportsTheSelectionAndRightClicksSelectFirst)
{
    m_control.SetEntryRightClickHandler(Record("entry"));
    m_control.SetGroupRightClickHandler(Record("group"));
    m_control.SetBlankRightClickHandler(Record("blank"));
    ::SetForegroundWindow(m_host);
    ::SetFocus(m_list);
    ASSERT_EQ(::GetFocus(), m_list);
    for (const int item : {0, e2, g}) {
        if (item)
            m_control.SelectItem(item);
        INPUT apps[2] = {};
        apps[0].type = apps[1].type = INPUT_KEYBOARD;
        apps[0].ki.wVk = apps[1].ki.wVk = VK_APPS;
        apps[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, apps, sizeof(INPUT));
        RunFor(300, [] { return false; });
    }
    EXPECT_EQ(reports, (std::vector<Report>{{"blank", 0, -1, -1}, {"entry", e2, -1, -1}, {"group", g, -1, -1}}));

    // Reported once, on the press, with the row selected by then.
    reports.clear();
    m_control.SetEntryRightClickHandler([&](int item, int x, int y) {
        reports.push_back({"entry", item, x, y});
        EXPECT_EQ(m_control.SelectedHandle(), item);
    });
    Press(WM_RBUTTONDOWN, 1);
    Press(WM_RBUTTONUP, 1);
    RunLoop();
    EXPECT_EQ(reports, (std::vector<Report>{{"entry", e1, 100, RowRect(1).top + 8}}));
    EXPECT_EQ(m_control.SelectedHandle(), e1);
}

TEST_F(ListEditing, SelectingAnItemBringsItsRowIntoSight)
{
    std::vector<int> more;
    for (int i = 0; i < 20; ++i)
        more.push_back(AddEntry(g, L"more" + std::to_wstring(i)));
    RECT client{};
    ::GetClientRect(m_list, &client);
    for (int pass = 0; pass < 2; ++pass) { // the second time it is selected already
        ::SendMessageW(m_list, LB_SETTOPINDEX, 0, 0);
        m_control.SelectItem(more.back());
        EXPECT_EQ(m_control.SelectedHandle(), more.back());
        const RECT row = RowRect(RowIndexOf(more.back()));
        EXPECT_GE(row.top, 0) << pass;
        EXPECT_LE(row.bottom, client.bottom) << pass;
    }
    m_control.SelectItem(e3); // in a collapsed group: nothing
    EXPECT_EQ(m_control.SelectedHandle(), more.back());
}

class ListTooltip : public ListEditing {
protected:
    // The pointer rests on the row; the tooltip keeps its own delays.
    void RestOn(int row, int x = 100)
    {
        POINT point{x, RowRect(row).top + 8};
        POINT screen = point;
        ::ClientToScreen(m_list, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    }
    static bool ShownWithin(HWND tip, DWORD ms)
    {
        return RunFor(ms, [tip] { return ::IsWindowVisible(tip) != FALSE; });
    }
    static std::wstring ShownText(HWND tip)
    {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        if (!::SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
            return L"(none)";
        wchar_t text[256] = {};
        tool.lpszText = text;
        ::SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
};

TEST_F(ListTooltip, RestingOnAnEntryShowsItsPathAndNothingElseDoes)
{
    EXPECT_EQ(m_control.TooltipWindow(), nullptr);
    RestOn(1);
    const HWND tip = m_control.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::GetWindow(tip, GW_OWNER), m_host);
    ASSERT_TRUE(ShownWithin(tip, 3000));
    EXPECT_EQ(ShownText(tip), L"C:\\Programs\\one.exe");
    Press(WM_LBUTTONDOWN, 1);
    EXPECT_FALSE(::IsWindowVisible(tip)) << "a press";
    RestOn(1, 120);
    EXPECT_FALSE(ShownWithin(tip, 1200)) << "not again on the row pressed";

    RestOn(0);
    EXPECT_FALSE(ShownWithin(tip, 1200)) << "a group";
    RestOn(2);
    ASSERT_TRUE(ShownWithin(tip, 3000));
    EXPECT_EQ(ShownText(tip), L"C:\\Programs\\two.exe");
    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(tip)) << "the pointer left";

    m_control.SuspendTooltips(true);
    RestOn(1);
    EXPECT_FALSE(ShownWithin(tip, 1200)) << "suspended for the host's menu";
    m_control.SuspendTooltips(false);
    RestOn(1, 120);
    EXPECT_TRUE(ShownWithin(tip, 3000));
}

} // namespace
