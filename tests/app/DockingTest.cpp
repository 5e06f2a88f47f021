#include "app/Docking.h"

#include "app/MainControls.h"
#include "app/MainLayout.h"
#include "app/Program.h"

#include "TempFolder.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>


// Global, so GoogleTest's comparisons find them beside RECT.
static bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

using app::MouseLeftDockedWindow;
using app::MouseTouchesDockStrip;

RECT RectOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

} // namespace

TEST(DockingRulesTest, MouseLeavesOnlyBeyondTheEdgeColumnsOrBelowTheHeight)
{
    const RECT shown{100, 0, 375, 555};
    EXPECT_FALSE(MouseLeftDockedWindow(shown, {100, 10}));
    EXPECT_FALSE(MouseLeftDockedWindow(shown, {375, 10}));
    EXPECT_FALSE(MouseLeftDockedWindow(shown, {200, 555}));
    EXPECT_TRUE(MouseLeftDockedWindow(shown, {99, 10}));
    EXPECT_TRUE(MouseLeftDockedWindow(shown, {376, 10}));
    EXPECT_TRUE(MouseLeftDockedWindow(shown, {200, 556}));
}

TEST(DockingRulesTest, StripIsTouchedStrictlyBetweenItsEndsInTheTopThreeRows)
{
    const RECT strip{100, 0, 375, app::kDockStripHeight};
    for (const int y : {0, 1, 2}) {
        EXPECT_TRUE(MouseTouchesDockStrip(strip, {101, y})) << y;
        EXPECT_TRUE(MouseTouchesDockStrip(strip, {374, y})) << y;
    }
    EXPECT_FALSE(MouseTouchesDockStrip(strip, {200, 3}));
    EXPECT_FALSE(MouseTouchesDockStrip(strip, {100, 1}));
    EXPECT_FALSE(MouseTouchesDockStrip(strip, {375, 1}));
}

TEST(DockingRulesTest, DragIsHeldOnTheScreenAtEachEdgeKeepingItsSize)
{
    const RECT screen{1280, 100, 2560, 1124}; // a second monitor: no edge is at 0
    struct Case {
        RECT dragged;
        RECT held;
    };
    const Case cases[] = {
        {{1270, 150, 1545, 705}, {1280, 150, 1555, 705}},   // left
        {{1400, 93, 1675, 648}, {1400, 100, 1675, 655}},    // top
        {{2300, 150, 2575, 705}, {2285, 150, 2560, 705}},   // right
        {{1400, 580, 1675, 1135}, {1400, 569, 1675, 1124}}, // bottom
        {{1200, 91, 1475, 646}, {1280, 100, 1555, 655}},    // a corner
        {{1280, 100, 1555, 655}, {1280, 100, 1555, 655}},   // touching is on
    };
    for (const Case& c : cases) {
        RECT r = c.dragged;
        app::HoldDragOnScreen(r, screen);
        EXPECT_EQ(r, c.held) << "dragged to " << c.dragged;
    }
}

class AutoHideTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_window.get(), nullptr); }

    void PlaceAt(int left, int top) const
    {
        ::SetWindowPos(m_window.get(), nullptr, left, top, app::kMainWidth, app::kMainHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Tick() { app::AutoHideTick(m_window.get(), m_state, 96, [this] { return m_mouse; }); }
    RECT Rect() const { return RectOf(m_window.get()); }

    base::UniqueWindow m_window{::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 0,
                                                  app::kMainWidth, app::kMainHeight, nullptr, nullptr,
                                                  ::GetModuleHandleW(nullptr), nullptr)};
    app::AppState m_state;
    POINT m_mouse{};
};

TEST_F(AutoHideTest, WindowAtTheTopSlidesIntoTheStripAndComesBackWhenItIsTouched)
{
    PlaceAt(100, 0);
    m_mouse = {200, 300};
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 0, 375, 555})) << "mouse inside";
    EXPECT_FALSE(m_state.dockHidden);

    m_mouse = {600, 600};
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 0, 375, 2}));
    EXPECT_TRUE(m_state.dockHidden);
    EXPECT_TRUE(m_state.dockSliding);

    m_mouse = {110, 3};
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 0, 375, 2})) << "just below the strip";

    // Another window took the keyboard meanwhile; called back, this one takes it.
    const base::UniqueWindow other{::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 600,
                                                     50, 50, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr)};
    ::SetForegroundWindow(other.get());
    ASSERT_EQ(::GetForegroundWindow(), other.get());
    m_mouse = {110, 1};
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 0, 375, 555}));
    EXPECT_FALSE(m_state.dockHidden);
    EXPECT_FALSE(m_state.dockSliding);
    EXPECT_EQ(::GetForegroundWindow(), m_window.get());
}

TEST_F(AutoHideTest, WindowsNotAtTheTopOrOutOfSightNeverDock)
{
    m_mouse = {600, 600};
    PlaceAt(100, 1);
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 1, 375, 556}));
    EXPECT_FALSE(m_state.dockHidden);

    PlaceAt(100, 0);
    ::ShowWindow(m_window.get(), SW_HIDE);
    Tick();
    EXPECT_EQ(Rect(), (RECT{100, 0, 375, 555}));
    EXPECT_FALSE(m_state.dockHidden);
}

TEST(MainWindowLimitsTest, TracksFromNothingUpToTheDesignSize)
{
    testing_support::TempFolder folder;
    app::AppState state;
    {
        app::Program window(state, folder.Path());
        ASSERT_TRUE(window.Create());
        MINMAXINFO limits{};
        limits.ptMinTrackSize = {100, 100};
        limits.ptMaxTrackSize = {5000, 5000};
        ::SendMessageW(window.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, 0);
        EXPECT_EQ(limits.ptMinTrackSize.y, 0);
        EXPECT_EQ(limits.ptMaxTrackSize.x, app::kMainWidth);
        EXPECT_EQ(limits.ptMaxTrackSize.y, app::kMainHeight);
    }
    // Destroying the main window asks this thread's loop to end; no loop runs here.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class HighlightFadeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_box.Create(m_host.Handle(), {10, 10, 60, 40}));
        m_id = m_box.AddObject();
    }

    [[nodiscard]] int Level() const { return m_box.ObjectTransparency(m_id); }

    testing_support::PatternHost m_host;
    toolkit::AnimationBox m_box;
    int m_id = 0;
};

TEST_F(HighlightFadeTest, FadesInOnTheTimerAndTurnsRoundWhenLeftMidway)
{
    m_box.SetObjectTransparency(m_id, app::kHighlightHidden);
    app::FadeHighlightIn(m_box, m_id);
    EXPECT_EQ(Level(), app::kHighlightHidden) << "a fade, not a jump";
    testing_support::PumpFor(300);
    EXPECT_EQ(Level(), app::kHighlightShown);
    EXPECT_FALSE(m_box.IsFading(m_id));

    m_box.SetObjectTransparency(m_id, app::kHighlightHidden);
    app::FadeHighlightIn(m_box, m_id);
    testing_support::PumpFor(70);
    const int reached = Level();
    ASSERT_GT(reached, app::kHighlightShown);
    ASSERT_LT(reached, app::kHighlightHidden);
    app::FadeHighlightOut(m_box, m_id);
    EXPECT_LE(Level(), reached);
    testing_support::PumpFor(40);
    EXPECT_GE(Level(), reached) << "heading back towards hidden";
    testing_support::PumpFor(300);
    EXPECT_EQ(Level(), app::kHighlightHidden);

    // Left before the fade-in took its first step: it must not finish shown.
    app::FadeHighlightIn(m_box, m_id);
    app::FadeHighlightOut(m_box, m_id);
    testing_support::PumpFor(300);
    EXPECT_EQ(Level(), app::kHighlightHidden);
}

TEST_F(HighlightFadeTest, FadesThatHaveNothingToDoOrNoWayToGo)
{
    m_box.SetObjectTransparency(m_id, 0);
    app::FadeHighlightIn(m_box, m_id);
    EXPECT_EQ(Level(), 0);
    EXPECT_FALSE(m_box.IsFading(m_id));

    m_box.SetObjectTransparency(m_id, 30);
    app::FadeHighlightIn(m_box, m_id);
    EXPECT_EQ(Level(), app::kHighlightShown) << "from below the highlight: at once";
    EXPECT_FALSE(m_box.IsFading(m_id));

    m_box.SetObjectTransparency(m_id, app::kHighlightHidden);
    app::FadeHighlightOut(m_box, m_id);
    EXPECT_EQ(Level(), app::kHighlightHidden);
    EXPECT_FALSE(m_box.IsFading(m_id));
}
