#include "app/MainLayout.h"
#include "app/MainWindowArt.h"

#include "base/Handles.h"

#include "Canvas.h"
#include "GdiCount.h"

#include <gtest/gtest.h>

namespace {

using testing_support::Canvas;

constexpr COLORREF kSentinel = RGB(1, 2, 3);

bool Between(COLORREF c, COLORREF a, COLORREF b)
{
    auto in = [](int v, int x, int y) { return v >= std::min(x, y) && v <= std::max(x, y); };
    return in(GetRValue(c), GetRValue(a), GetRValue(b)) && in(GetGValue(c), GetGValue(a), GetGValue(b)) &&
           in(GetBValue(c), GetBValue(a), GetBValue(b));
}

int CountColour(const Canvas& canvas, const RECT& r, COLORREF colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += canvas.At(x, y) == colour;
    return n;
}

} // namespace

TEST(MainWindowArt, FrameAndPanelsSitWhereTheControlsExpectThem)
{
    Canvas canvas(app::kMainWidth, app::kMainHeight, kSentinel);
    app::PaintMainBackground(canvas.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);

    // Frame on all four sides, closed along the corner staircase.
    EXPECT_EQ(canvas.At(0, 300), app::art::kFrame);
    EXPECT_EQ(canvas.At(274, 300), app::art::kFrame);
    EXPECT_EQ(canvas.At(137, 0), app::art::kFrame);
    EXPECT_EQ(canvas.At(137, 554), app::art::kFrame);
    EXPECT_EQ(canvas.At(1, 2), app::art::kFrame);
    EXPECT_EQ(canvas.At(272, 553), app::art::kFrame);

    // The list's panel is white across the whole host rectangle, with a border round it.
    const RECT host = app::kListHostRect;
    for (POINT p : {POINT{host.left, host.top}, POINT{host.right - 1, host.bottom - 1}, POINT{137, 300}})
        EXPECT_EQ(canvas.At(p.x, p.y), app::art::kListPanel);
    EXPECT_EQ(canvas.At(host.left - 1, 300), app::art::kPanelBorder);
    EXPECT_EQ(canvas.At(137, host.bottom), app::art::kPanelBorder);

    // Title bar and bottom bar are their gradients; the body between them is light.
    EXPECT_TRUE(Between(canvas.At(170, 16), app::art::kTitleTop, app::art::kTitleBottom));
    EXPECT_TRUE(Between(canvas.At(137, 540), app::art::kBarTop, app::art::kBarBottom));
    EXPECT_EQ(canvas.At(137, 516), app::art::kBarLine);
    EXPECT_TRUE(Between(canvas.At(5, 300), app::art::kBodyTop, app::art::kBodyBottom));
    EXPECT_EQ(canvas.At(120, 57), app::art::kWeatherPanel);
}

TEST(MainWindowArt, GlyphsAreDrawnInsideTheirButtonBoxes)
{
    Canvas canvas(app::kMainWidth, app::kMainHeight, kSentinel);
    app::PaintMainBackground(canvas.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);

    EXPECT_GE(CountColour(canvas, app::kMinimiseBoxRect, app::art::kGlyph), 10);
    EXPECT_GE(CountColour(canvas, app::kCloseBoxRect, app::art::kGlyph), 15);
    // The cross is centred: its middle is white, the box's corners are not.
    const RECT& close = app::kCloseBoxRect;
    EXPECT_EQ(canvas.At((close.left + close.right) / 2, (close.top + close.bottom) / 2), app::art::kGlyph);
    EXPECT_NE(canvas.At(close.left + 1, close.top + 1), app::art::kGlyph);

    // One arrow up, one down: the wide end of each is on the opposite side.
    auto rowCount = [&](const RECT& box, int y) { return CountColour(canvas, {box.left, y, box.right, y + 1}, app::art::kArrow); };
    const RECT& up = app::kPreviousBoxRect;
    const RECT& down = app::kNextBoxRect;
    const int upMid = (up.top + up.bottom) / 2;
    const int downMid = (down.top + down.bottom) / 2;
    EXPECT_GT(rowCount(up, upMid + 2), rowCount(up, upMid - 1));
    EXPECT_GT(rowCount(down, downMid - 2), rowCount(down, downMid + 1));
    EXPECT_EQ(rowCount(up, up.top), 0);
}

TEST(MainWindowArt, PaintsAtTheGivenOriginAndNowhereElse)
{
    Canvas canvas(app::kMainWidth + 40, app::kMainHeight + 40, kSentinel);
    app::PaintMainBackground(canvas.Dc(), {30, 20, 30 + app::kMainWidth, 20 + app::kMainHeight}, nullptr);
    EXPECT_EQ(canvas.At(29, 300), kSentinel);
    EXPECT_EQ(canvas.At(30, 300), app::art::kFrame);
    EXPECT_EQ(canvas.At(137 + 30, 300 + 20), app::art::kListPanel);
    EXPECT_EQ(canvas.At(30 + app::kMainWidth, 300), kSentinel);
    EXPECT_EQ(canvas.At(100, 19), kSentinel);
}

TEST(MainWindowArt, LeavesNoGdiObjectsBehind)
{
    Canvas canvas(app::kMainWidth, app::kMainHeight, kSentinel);
    const auto count = testing_support::LiveGdiObjects;
    app::PaintMainBackground(canvas.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);
    const int before = count();
    for (int i = 0; i < 20; ++i)
        app::PaintMainBackground(canvas.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);
    EXPECT_EQ(count(), before);
}
