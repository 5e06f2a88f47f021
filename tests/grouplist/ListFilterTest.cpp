// The filter, keyboard use and what accessibility tools are told, on a real
// list in a real host.

#include "grouplist/ListFixture.h"

#include "GdiCount.h"
#include "grouplist/NameFolding.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Handles = std::vector<int>;

// Rows: Tools (expanded) 0, Alpha 1, beta 2, ＡＬＰＨＡ２ 3, Inserted 4 (put in
// front of Games, holding ALPHA bits), Games 5 (alphabet, Chess), Last 6 (Zeta).
class ListFilter : public testing_support::ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        if (HasFatalFailure())
            return;
        tools = m_control.AddGroup(L"Tools", true);
        alpha = AddEntry(tools, L"Alpha");
        beta = AddEntry(tools, L"beta");
        wide = AddEntry(tools, L"ＡＬＰＨＡ２");
        games = m_control.AddGroup(L"Games");
        alphabet = AddEntry(games, L"alphabet");
        chess = AddEntry(games, L"Chess");
        last = m_control.AddGroup(L"Last");
        zeta = AddEntry(last, L"Zeta");
        inserted = m_control.InsertGroup(games, L"Inserted");
        bits = AddEntry(inserted, L"ALPHA bits");
        ASSERT_EQ(Rows(), (Handles{tools, alpha, beta, wide, inserted, games, last}));
        m_control.SetGroupClickHandler([this](int item, int x, int y) { reports.emplace_back('g', item, x, y); });
        m_control.SetEntryDoubleClickHandler([this](int item, int x, int y) { reports.emplace_back('e', item, x, y); });
    }

    // Every item's 项目索引 is its row (-1 without one), every row's text its item's name.
    void ExpectRowsInStep(const Handles& items) const
    {
        const Handles rows = Rows();
        for (const int item : items) {
            const auto row = std::find(rows.begin(), rows.end(), item);
            EXPECT_EQ(RowIndexOf(item), row == rows.end() ? -1 : static_cast<int>(row - rows.begin())) << item;
        }
        for (size_t row = 0; row < rows.size(); ++row) {
            wchar_t text[64]{};
            ::SendMessageW(m_list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(text, m_control.ReadItem(rows[row])->name) << row;
        }
    }
    [[nodiscard]] Handles All() const
    {
        return {tools, alpha, beta, wide, inserted, bits, games, alphabet, chess, last, zeta};
    }
    [[nodiscard]] int ListBoxSelection() const { return static_cast<int>(::SendMessageW(m_list, LB_GETCURSEL, 0, 0)); }
    int Key(WPARAM key) const
    {
        ::SendMessageW(m_list, WM_KEYDOWN, key, 0);
        return m_control.SelectedRow();
    }

    int tools = 0, alpha = 0, beta = 0, wide = 0, inserted = 0, bits = 0, games = 0, alphabet = 0, chess = 0,
        last = 0, zeta = 0;
    std::vector<std::tuple<char, int, int, int>> reports; // 'g' group click, 'e' entry double-click
};

TEST(NameFolding, LatinLettersMatchInEitherCaseAndFullWidthFormsAsPlainOnes)
{
    EXPECT_EQ(grouplist::FoldForSearch(L"ÀÉ×ÎõŸĀąĹľŽİ ＡＢ　ｃ１程序"), L"àé×îõÿāąĺľži ab c1程序");
}

TEST_F(ListFilter, ShowsMatchesUnderExpandedGroupsAndGivesEverythingBack)
{
    // Counted after the first hover, which makes the path tooltip.
    ::SendMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(100, RowRect(2).top + 5));
    ASSERT_EQ(m_control.HoverRow(), 2);
    const int gdi = testing_support::LiveGdiObjects();

    m_control.SetFilter(L"alpha");
    EXPECT_EQ(Rows(), (Handles{tools, alpha, wide, inserted, bits, games, alphabet}));
    EXPECT_TRUE(m_control.ReadItem(games)->expanded);
    EXPECT_EQ(m_control.SelectedRow(), 1) << "the first match";
    EXPECT_EQ(ListBoxSelection(), 1);
    EXPECT_EQ(m_control.HoverRow(), -1) << "beta has no row now";
    ExpectRowsInStep(All());

    // Case and full-width forms do not count.
    m_control.SetFilter(L"ＡLpha２");
    EXPECT_EQ(Rows(), (Handles{tools, wide}));
    m_control.SetFilter(L"zz");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(m_control.SelectedRow(), -1);
    m_control.SetFilter(L"ALPHA B");
    EXPECT_EQ(Rows(), (Handles{inserted, bits}));
    ExpectRowsInStep(All());
    ::UpdateWindow(m_list);

    m_control.SetFilter({});
    EXPECT_EQ(m_control.FilterText(), L"");
    EXPECT_EQ(Rows(), (Handles{tools, alpha, beta, wide, inserted, games, last}));
    EXPECT_FALSE(m_control.ReadItem(games)->expanded);
    EXPECT_EQ(m_control.SelectedRow(), -1) << "its entry went back into its collapsed group";
    ExpectRowsInStep(All());
    ::UpdateWindow(m_list);
    EXPECT_EQ(testing_support::LiveGdiObjects(), gdi);
}

TEST_F(ListFilter, ItemsThatComeWhileFilteringAreFilteredAndTheFirstMatchStaysSelected)
{
    m_control.SetFilter(L"ta");
    // A reload: everything goes, then groups come, and their entries one by one.
    m_control.DeleteGroup();
    EXPECT_EQ(m_control.FilterText(), L"ta");
    tools = m_control.AddGroup(L"Tools");
    games = m_control.AddGroup(L"Games", true);
    chess = AddEntry(tools, L"Chess");
    EXPECT_TRUE(Rows().empty());
    zeta = AddEntry(games, L"Zeta");
    EXPECT_EQ(Rows(), (Handles{games, zeta}));
    beta = AddEntry(tools, L"Beta");
    EXPECT_EQ(Rows(), (Handles{tools, beta, games, zeta}));
    EXPECT_EQ(m_control.SelectedRow(), 1) << "still the first match";

    EXPECT_EQ(Key(VK_END), 3);
    const int theta = AddEntry(tools, L"Theta");
    EXPECT_EQ(Rows(), (Handles{tools, beta, theta, games, zeta}));
    EXPECT_EQ(m_control.SelectedRow(), 4) << "where the user put it";
    ExpectRowsInStep({tools, games, chess, zeta, beta, theta});

    m_control.DeleteEntry(beta);
    m_control.DeleteEntry(theta);
    EXPECT_EQ(Rows(), (Handles{games, zeta})) << "Tools has no match left";
    grouplist::EntryInfo renamed;
    m_control.GetEntryInfo(chess, renamed);
    renamed.name = L"Tatami";
    m_control.UpdateEntry(renamed);
    EXPECT_EQ(Rows(), (Handles{tools, chess, games, zeta})) << "a new name brings it in";
    ExpectRowsInStep({tools, games, chess, zeta});
    m_control.SetFilter({});
    EXPECT_EQ(Rows(), (Handles{tools, games, zeta})) << "each group as it was added";
    ExpectRowsInStep({tools, games, chess, zeta});
}

// Chinese names found by their pinyin; the selection goes to the best match
// (at the name's start, then at a word's, then anywhere; the higher row among
// equals), also while matches keep coming, until the user moves it.
TEST_F(ListFilter, PinyinFindsChineseNamesAndSelectsTheBestMatch)
{
    m_control.DeleteGroup();
    const int apps = m_control.AddGroup(L"应用", true);
    const int open = AddEntry(apps, L"打开微信");
    const int work = AddEntry(apps, L"企业 微信");
    const int weixin = AddEntry(apps, L"微信");
    const int music = AddEntry(apps, L"QQ音乐");
    const int maps = m_control.AddGroup(L"地图", true);
    const int chongqing = AddEntry(maps, L"重庆地图");
    const int satellite = AddEntry(maps, L"卫星地图");
    const auto selected = [this] {
        const int row = m_control.SelectedRow();
        EXPECT_EQ(ListBoxSelection(), row);
        return row < 0 ? 0 : Rows().at(static_cast<size_t>(row));
    };

    m_control.SetFilter(L"WX");
    EXPECT_EQ(Rows(), (Handles{apps, open, work, weixin, maps, satellite}));
    EXPECT_EQ(selected(), weixin) << "at its start, and above 卫星地图";
    m_control.SetFilter(L"yy");
    EXPECT_EQ(Rows(), (Handles{apps, music}));
    m_control.SetFilter(L"xin");
    EXPECT_EQ(Rows(), (Handles{apps, open, work, weixin, maps, satellite}));
    EXPECT_EQ(selected(), open) << "all inside their names: the first row";
    m_control.SetFilter(L"weix");
    EXPECT_EQ(selected(), weixin);
    for (const wchar_t* typed : {L"zqdt", L"cqdt", L"chongqing", L"重qdi"}) {
        m_control.SetFilter(typed);
        EXPECT_EQ(Rows(), (Handles{maps, chongqing})) << testing::PrintToString(std::wstring(typed));
    }
    m_control.SetFilter(L"QQyinyue");
    EXPECT_EQ(Rows(), (Handles{apps, music}));
    m_control.SetFilter(L"wxq");
    EXPECT_TRUE(Rows().empty());
    ExpectRowsInStep({apps, open, work, weixin, music, maps, chongqing, satellite});

    // A reload while filtering: matches come one by one.
    m_control.SetFilter(L"wx");
    m_control.DeleteGroup();
    const int common = m_control.AddGroup(L"常用", true);
    const int other = m_control.AddGroup(L"其他", true);
    const int inside = AddEntry(other, L"打开微信");
    EXPECT_EQ(selected(), inside);
    const int wordStart = AddEntry(other, L"企业 微信");
    EXPECT_EQ(selected(), wordStart) << "a better match";
    const int nameStart = AddEntry(common, L"卫星");
    EXPECT_EQ(selected(), nameStart) << "a better match, in a group above";
    AddEntry(common, L"无线");
    AddEntry(other, L"微型");
    EXPECT_EQ(selected(), nameStart) << "equal matches below do not take it";
    const int top = m_control.InsertGroup(common, L"置顶", true);
    const int above = AddEntry(top, L"微信");
    EXPECT_EQ(selected(), above) << "an equal match above does";

    Key(VK_DOWN);
    const int chosen = selected();
    const int first = m_control.InsertGroup(top, L"最前", true);
    AddEntry(first, L"微信");
    EXPECT_EQ(selected(), chosen) << "the user's choice stays";
    EXPECT_EQ(RowIndexOf(first), 0);
}

TEST_F(ListFilter, KeysMoveBetweenEntriesOpenAndCloseGroupsAndStartEntries)
{
    Handles stops;
    for (int i = 0; i < 7; ++i)
        stops.push_back(Key(VK_DOWN));
    EXPECT_EQ(stops, (Handles{1, 2, 3, 4, 5, 6, 6})) << "entries and collapsed groups";
    EXPECT_EQ(Key(VK_UP), 5);
    EXPECT_EQ(ListBoxSelection(), 5);
    Key(VK_RIGHT);
    EXPECT_EQ(Rows(), (Handles{tools, alpha, beta, wide, inserted, games, alphabet, chess, last}));
    EXPECT_EQ(Key(VK_DOWN), 6);
    EXPECT_EQ(Key(VK_LEFT), 5) << "an entry's group closes and takes the selection";
    EXPECT_EQ(Rows().size(), 7u);
    EXPECT_EQ(Key(VK_HOME), 1);
    EXPECT_EQ(Key(VK_END), 6);
    Key(VK_RETURN);
    EXPECT_EQ(Rows().back(), zeta);
    Key(VK_RETURN);
    EXPECT_EQ(Rows().back(), last);
    EXPECT_EQ(Key(VK_PRIOR), 1) << "a page is more than there is";
    EXPECT_EQ(Key(VK_NEXT), 6);
    Key(VK_HOME);
    Key(VK_DOWN);
    Key(VK_RETURN);
    ExpectRowsInStep(All());
    using Report = std::tuple<char, int, int, int>;
    EXPECT_EQ(reports, (std::vector<Report>{{'g', games, -1, -1}, {'g', games, -1, -1}, {'g', last, -1, -1},
                                            {'g', last, -1, -1}, {'e', beta, -1, -1}}));

    // The host sees keys first; characters never reach the list box's type-ahead.
    std::vector<std::pair<UINT, WPARAM>> offered;
    m_control.SetKeyHandler([&](UINT message, WPARAM code) {
        offered.emplace_back(message, code);
        return message == WM_KEYDOWN && code == VK_DOWN;
    });
    EXPECT_EQ(Key(VK_DOWN), 2);
    ::SendMessageW(m_list, WM_CHAR, L'A', 0); // the list box would go to Alpha
    EXPECT_EQ(ListBoxSelection(), 2);
    ::SendMessageW(m_list, WM_IME_CHAR, L'程', 0);
    Pump(); // declined, it comes back as a character
    EXPECT_EQ(offered, (std::vector<std::pair<UINT, WPARAM>>{
                           {WM_KEYDOWN, VK_DOWN}, {WM_CHAR, L'A'}, {WM_IME_CHAR, L'程'}, {WM_CHAR, L'程'}}));
}

std::vector<std::pair<DWORD, LONG>> g_focusedRowEvents;

void CALLBACK RecordFocusedRowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT && child > 0 && window == ::GetFocus())
        g_focusedRowEvents.emplace_back(event, child);
}

// What a screen reader reads: the list box's selection and its rows' text
// (as the system's list box proxy does), told by focus and selection events.
TEST_F(ListFilter, AccessibilityToolsFollowTheSelectedRowByName)
{
    auto& events = g_focusedRowEvents;
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr,
                                                 RecordFocusedRowEvent, ::GetCurrentProcessId(),
                                                 ::GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    ::SetForegroundWindow(m_host);
    ::SetFocus(m_list);
    Pump();
    events.clear();
    Key(VK_DOWN);
    Pump();
    EXPECT_EQ(ListBoxSelection(), 1);
    EXPECT_EQ(events, (std::vector<std::pair<DWORD, LONG>>{{EVENT_OBJECT_SELECTION, 2}, {EVENT_OBJECT_FOCUS, 2}}));

    const LPARAM third = MAKELPARAM(100, RowRect(3).top + 5);
    ::SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, third);
    ::SendMessageW(m_list, WM_LBUTTONUP, 0, third);
    Pump();
    EXPECT_EQ(ListBoxSelection(), 3);
    EXPECT_EQ(events.back(), (std::pair<DWORD, LONG>{EVENT_OBJECT_FOCUS, 4}));
    ExpectRowsInStep(All());
    ::UnhookWinEvent(hook);
}

} // namespace
