#include "grouplist/ListFixture.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using testing_support::SolidBmp;

struct Event {
    std::string name;
    int a = 0, b = 0, c = 0;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e)
{
    return out << e.name << "(" << e.a << ", " << e.b << ", " << e.c << ")";
}

using Events = std::vector<Event>;

// A host procedure put over the control's, passing on the list box's
// notification codes.
WNDPROC g_hostBelow = nullptr;
std::function<void(int code)> g_onNotify;

LRESULT CALLBACK NotifiedHost(HWND host, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && g_onNotify)
        g_onNotify(HIWORD(wParam));
    return ::CallWindowProcW(g_hostBelow, host, message, wParam, lParam);
}

// Rows: G1 (expanded) 0, e1 1, e2 2, G2 (collapsed, holding e3) 3.
class ListInput : public testing_support::ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        if (HasFatalFailure())
            return;
        Populate();
        m_control.SetEventHandlers({.entryClick = Record("entryClick"), .entryDoubleClick = Record("entryDoubleClick"),
                                    .entryRightClick = Record("entryRightClick"), .rowEnter = Record("enter"),
                                    .rowLeave = Record("leave"), .groupClick = Record("groupClick"),
                                    .groupDoubleClick = Record("groupDoubleClick"),
                                    .groupRightClick = Record("groupRightClick"), .serviceIconClick = Record("iconClick"),
                                    .blankRightClick = Record("blankRightClick")});
    }
    void Populate(std::vector<int> icons = {})
    {
        const size_t before = Rows().size();
        g1 = m_control.AddGroup(L"G1", true);
        e1 = AddEntry(g1, L"one", true, icons);
        e2 = AddEntry(g1, L"two");
        g2 = m_control.AddGroup(L"G2");
        e3 = AddEntry(g2, L"three");
        const std::vector<int> rows = Rows();
        ASSERT_EQ(std::vector<int>(rows.begin() + static_cast<std::ptrdiff_t>(before), rows.end()),
                  (std::vector<int>{g1, e1, e2, g2}));
    }
    grouplist::ListEventHandler Record(const char* name)
    {
        return [this, name](int a, int b, int c) { events.push_back({name, a, b, c}); };
    }
    // A point in the row, dy below its top.
    [[nodiscard]] POINT At(int row, int x = 100, int dy = 10) const { return {x, RowRect(row).top + dy}; }
    [[nodiscard]] POINT Below() const { return {100, RowRect(static_cast<int>(Rows().size()) - 1).bottom + 20}; }
    void Send(UINT message, POINT p, WPARAM keys = 0) { ::SendMessageW(m_list, message, keys, MAKELPARAM(p.x, p.y)); }
    void Click(POINT p)
    {
        Send(WM_LBUTTONDOWN, p, MK_LBUTTON);
        Send(WM_LBUTTONUP, p);
    }

    int g1 = 0, g2 = 0, e1 = 0, e2 = 0, e3 = 0;
    Events events;
};

TEST_F(ListInput, HoverReportsLeaveBeforeEnter)
{
    const POINT p1 = At(1), p1b = At(1, 150, 30), p2 = At(2), below = Below(), p0 = At(0);
    Send(WM_MOUSEMOVE, p1);
    EXPECT_EQ(m_control.HoverRow(), 1);
    Send(WM_MOUSEMOVE, p1b); // same row: nothing to report
    Send(WM_MOUSEMOVE, p2);
    EXPECT_EQ(m_control.HoverRow(), 2);
    Send(WM_MOUSEMOVE, below);
    EXPECT_EQ(m_control.HoverRow(), -1);
    Send(WM_MOUSEMOVE, p0);
    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(m_control.HoverRow(), -1);
    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(events, (Events{{"enter", e1, p1.x, p1.y},
                              {"leave", e1, p2.x, p2.y},
                              {"enter", e2, p2.x, p2.y},
                              {"leave", e2, below.x, below.y},
                              {"enter", g1, p0.x, p0.y},
                              {"leave", g1, 0, 0}}));
}

TEST_F(ListInput, ClicksSelectToggleGroupsAndReport)
{
    const POINT p1 = At(1), p3 = At(3), p0 = At(0);
    Send(WM_LBUTTONUP, p1);
    EXPECT_EQ(m_control.SelectedRow(), 1);
    Send(WM_LBUTTONUP, p3);
    EXPECT_EQ(m_control.SelectedRow(), 3);
    EXPECT_EQ(Rows(), (std::vector<int>{g1, e1, e2, g2, e3}));
    Send(WM_LBUTTONUP, p0);
    EXPECT_EQ(Rows(), (std::vector<int>{g1, g2, e3}));
    EXPECT_EQ(m_control.SelectedRow(), 0);
    Send(WM_LBUTTONUP, Below());
    EXPECT_EQ(m_control.SelectedRow(), -1);

    const POINT d2 = At(2), d1 = At(1);
    Send(WM_LBUTTONDBLCLK, d2);
    Send(WM_LBUTTONDBLCLK, d1);
    EXPECT_EQ(Rows(), (std::vector<int>{g1, g2, e3})); // a double-click alone toggles nothing
    EXPECT_EQ(events, (Events{{"entryClick", e1, p1.x, p1.y},
                              {"groupClick", g2, p3.x, p3.y},
                              {"groupClick", g1, p0.x, p0.y},
                              {"entryDoubleClick", e3, d2.x, d2.y},
                              {"groupDoubleClick", g2, d1.x, d1.y}}));
}

TEST_F(ListInput, RealDoubleClicksReportClickDoubleClickClick)
{
    int selectedInHandler = 0;
    m_control.SetEntryDoubleClickHandler([&](int item, int x, int y) {
        grouplist::EntryInfo info;
        m_control.GetSelectedEntry(info);
        selectedInHandler = info.handle;
        events.push_back({"entryDoubleClick", item, x, y});
    });
    const POINT g = At(3), e = At(1);
    for (POINT p : {g, e}) {
        Click(p);
        Send(WM_LBUTTONDBLCLK, p, MK_LBUTTON);
        Send(WM_LBUTTONUP, p);
    }
    EXPECT_EQ(Rows(), (std::vector<int>{g1, e1, e2, g2})); // toggled there and back
    EXPECT_EQ(m_control.SelectedRow(), 1);
    EXPECT_EQ(selectedInHandler, e1);
    EXPECT_EQ(events, (Events{{"groupClick", g2, g.x, g.y},
                              {"groupDoubleClick", g2, g.x, g.y},
                              {"groupClick", g2, g.x, g.y},
                              {"entryClick", e1, e.x, e.y},
                              {"entryDoubleClick", e1, e.x, e.y},
                              {"entryClick", e1, e.x, e.y}}));
}

TEST_F(ListInput, RightClicksReportRowKindOrBlankArea)
{
    const POINT p1 = At(1), p0 = At(0), below = Below();
    Send(WM_RBUTTONDOWN, p1, MK_RBUTTON);
    Send(WM_RBUTTONDOWN, p0, MK_RBUTTON);
    Send(WM_RBUTTONDOWN, below, MK_RBUTTON);
    EXPECT_EQ(events, (Events{{"entryRightClick", e1, p1.x, p1.y},
                              {"groupRightClick", g1, p0.x, p0.y},
                              {"blankRightClick", 0, below.x, below.y}}));
}

TEST_F(ListInput, ServiceIconClicksReportTheIconNumberInsideItsCell)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        Recreate(mode);
        ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, RGB(0, 160, 0))), 1);
        ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, RGB(0, 0, 160))), 2);
        Populate({2, 9, 1}); // 9 names no icon and takes no cell
        ASSERT_FALSE(HasFatalFailure());
        events.clear();
        m_control.SetEntryClickHandler(Record("entryClick"));
        m_control.SetServiceIconClickHandler(Record("iconClick"));
        // The first cell lies strictly inside x 50..66, from 19 px above the row's bottom.
        const int top = RowRect(1).bottom - 19;
        const std::vector<POINT> points{{51, top + 1}, {65, top + 15}, {50, top + 8}, {51, top},
                                        {51, top + 16}, {66, top + 8}, {68, top + 8}, {69, top + 8}};
        for (POINT p : points)
            Send(WM_LBUTTONUP, p);
        const auto entry = [&](size_t i) { return Event{"entryClick", e1, points[i].x, points[i].y}; };
        EXPECT_EQ(events, (Events{{"iconClick", e1, 2, 0}, {"iconClick", e1, 2, 0}, entry(2), entry(3), entry(4),
                                  entry(5), entry(6), {"iconClick", e1, 1, 0}}));
    }
}

TEST_F(ListInput, WithoutHandlersStateStillChanges)
{
    m_control.SetEventHandlers({});
    Send(WM_MOUSEMOVE, At(1));
    Send(WM_MOUSEMOVE, At(3));
    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    Send(WM_RBUTTONDOWN, At(1));
    Send(WM_RBUTTONDOWN, Below());
    Send(WM_LBUTTONDBLCLK, At(1));
    Click(At(3));
    EXPECT_EQ(Rows(), (std::vector<int>{g1, e1, e2, g2, e3}));
    EXPECT_EQ(m_control.SelectedRow(), 3);
    EXPECT_EQ(m_control.HoverRow(), -1);
}

TEST_F(ListInput, HandlersMayChangeTheListWhileReporting)
{
    // The row left removes itself; the row entered is still the one reported.
    m_control.SetRowLeaveHandler([&](int item, int, int) { m_control.DeleteEntry(item); });
    const POINT p1 = At(1), p2 = At(2);
    Send(WM_MOUSEMOVE, p1);
    Send(WM_MOUSEMOVE, p2);
    EXPECT_EQ(Rows(), (std::vector<int>{g1, e2, g2}));
    EXPECT_EQ(m_control.HoverRow(), 1);
    EXPECT_EQ(events, (Events{{"enter", e1, p1.x, p1.y}, {"enter", e2, p2.x, p2.y}}));

    // A click handler may take the whole list away.
    m_control.SetEntryClickHandler([&](int, int, int) { ::DestroyWindow(m_host); });
    Click(At(1));
    EXPECT_FALSE(m_control.IsCreated());
    EXPECT_EQ(m_control.GetHandleAtRow(0), -1);
    m_host = nullptr;
}

// The list box tells its host of a click or double-click before the control
// acts on it; the host may empty the list or destroy it then.
TEST_F(ListInput, HostMayChangeTheListWhenTheListBoxNotifiesIt)
{
    g_hostBelow = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NotifiedHost)));
    int notifications = 0;
    g_onNotify = [&](int code) {
        if (code == LBN_SELCHANGE)
            m_control.DeleteGroup();
        else if (code == LBN_DBLCLK)
            ::DestroyWindow(m_list);
        else
            return;
        ++notifications;
    };
    Click(At(1));
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(m_control.SelectedRow(), -1);

    Populate();
    Send(WM_LBUTTONDBLCLK, At(1), MK_LBUTTON);
    g_onNotify = nullptr;
    EXPECT_EQ(notifications, 2);
    EXPECT_FALSE(m_control.IsCreated());
    EXPECT_TRUE(events.empty());
}

} // namespace

namespace {

// LB_ITEMFROMPOINT answers in 16 bits; rows past 65,535 must still be hit,
// never the row 65,536 above them.
TEST_F(ListInput, RowsPastSixteenBitsAreHitThemselves)
{
    Recreate(2); // 20-px rows
    ASSERT_FALSE(HasFatalFailure());
    const int fillers = 0x10000;
    {
        // Rows of no item: the control leaves them alone.
        const ::LRESULT init = ::SendMessageW(m_list, LB_INITSTORAGE, fillers, 0);
        ASSERT_NE(init, LB_ERRSPACE);
        ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < fillers; ++i)
            ::SendMessageW(m_list, LB_ADDSTRING, 0, 0);
        ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    }
    Populate();
    ASSERT_FALSE(HasFatalFailure());
    m_control.SetEntryClickHandler(Record("entryClick"));
    m_control.SetRowEnterHandler(Record("enter"));
    m_control.SetRowLeaveHandler(Record("leave"));
    const int rowE1 = fillers + 1;
    ASSERT_EQ(RowIndexOf(e1), rowE1);
    ::SendMessageW(m_list, LB_SETTOPINDEX, rowE1 - 2, 0);
    RECT client{};
    ::GetClientRect(m_list, &client);
    ASSERT_GE(RowRect(rowE1).top, 0);
    ASSERT_LE(RowRect(rowE1 + 1).bottom, client.bottom);
    events.clear();
    Send(WM_MOUSEMOVE, At(rowE1));
    EXPECT_EQ(m_control.HoverRow(), rowE1);
    Send(WM_MOUSEMOVE, At(rowE1 + 1));
    EXPECT_EQ(m_control.HoverRow(), rowE1 + 1);
    Send(WM_LBUTTONUP, At(rowE1));
    EXPECT_EQ(m_control.SelectedRow(), rowE1);
    const POINT p = At(rowE1);
    EXPECT_EQ(events, (Events{{"enter", e1, p.x, p.y},
                              {"leave", e1, At(rowE1 + 1).x, At(rowE1 + 1).y},
                              {"enter", e2, At(rowE1 + 1).x, At(rowE1 + 1).y},
                              {"entryClick", e1, p.x, p.y}}));
}

} // namespace

namespace {

// A move that arrives under capture while the pointer is elsewhere cannot
// arm leave tracking; the next real move over the list must, or the hover
// stays lit after the pointer has gone.
TEST_F(ListInput, HoverClearsWhenThePointerLeavesAfterAMoveUnderCapture)
{
    ::SetCursorPos(900, 700);
    ::SetCapture(m_list);
    Send(WM_MOUSEMOVE, At(1));
    ::ReleaseCapture();
    EXPECT_EQ(m_control.HoverRow(), 1);

    const POINT p = At(2);
    POINT screen = p;
    ::ClientToScreen(m_list, &screen);
    ::SetCursorPos(screen.x, screen.y);
    Send(WM_MOUSEMOVE, p);
    EXPECT_EQ(m_control.HoverRow(), 2);

    ::SetCursorPos(900, 700);
    const DWORD end = ::GetTickCount() + 1000;
    while (m_control.HoverRow() != -1 && static_cast<LONG>(end - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(m_control.HoverRow(), -1);
    EXPECT_EQ(events.back(), (Event{"leave", e2, 0, 0}));
}

} // namespace
