#include "app/CornerMask.h"
#include "app/MainWindow.h"
#include "base/Dib32.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

std::set<std::pair<int, int>> MagentaPixels(int w, int h)
{
    base::UniqueBitmap mask = app::MakeCornerMask(w, h);
    EXPECT_TRUE(mask);
    const std::vector<DWORD> pixels = base::ReadPixels32(mask.get());
    EXPECT_EQ(pixels.size(), static_cast<size_t>(w) * h);
    std::set<std::pair<int, int>> magenta;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const DWORD p = pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
            if (p == 0xFF00FF)
                magenta.insert({x, y});
            else
                EXPECT_EQ(p, 0xFFFFFFu) << x << "," << y;
        }
    }
    return magenta;
}

} // namespace

TEST(CornerMask, CutsAThreePixelStaircaseFromEachCorner)
{
    const int w = 275, h = 555;
    const std::set<std::pair<int, int>> expected = {
        {0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0},
        {w - 3, 0}, {w - 2, 0}, {w - 1, 0}, {w - 2, 1}, {w - 1, 1}, {w - 1, 2},
        {0, h - 3}, {0, h - 2}, {0, h - 1}, {1, h - 2}, {1, h - 1}, {2, h - 1},
        {w - 3, h - 1}, {w - 2, h - 1}, {w - 1, h - 1}, {w - 2, h - 2}, {w - 1, h - 2}, {w - 1, h - 3}};
    EXPECT_EQ(MagentaPixels(w, h), expected);
    // The button boxes are as small as 19 pixels high; their corners stay apart.
    EXPECT_EQ(MagentaPixels(30, 19).size(), 24u);
}

TEST(CornerMask, RegionKeepsEverythingButTheCorners)
{
    base::UniqueBitmap mask = app::MakeCornerMask(40, 22);
    base::UniqueRegion region = app::RegionWithoutColour(mask.get(), app::kTransparentKey);
    ASSERT_TRUE(region);
    for (POINT p : {POINT{0, 0}, POINT{2, 0}, POINT{1, 1}, POINT{39, 0}, POINT{39, 2}, POINT{0, 21}, POINT{39, 21}, POINT{37, 21}})
        EXPECT_FALSE(::PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{3, 0}, POINT{1, 2}, POINT{2, 1}, POINT{0, 3}, POINT{20, 11}, POINT{36, 21}, POINT{39, 18}})
        EXPECT_TRUE(::PtInRegion(region.get(), p.x, p.y)) << p.x << "," << p.y;
    RECT box{};
    ::GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 22);
}

TEST(CornerMask, RefusesEmptySizes)
{
    EXPECT_FALSE(app::MakeCornerMask(0, 10));
    EXPECT_FALSE(app::MakeCornerMask(10, -1));
}

TEST(ClampToScreen, PullsLeftTopAndRightEdgesOntoTheScreen)
{
    const RECT screen = {0, 0, 1280, 1024};
    auto at = [](int x, int y) { return RECT{x, y, x + 275, y + 555}; };
    auto expect = [](POINT p, int x, int y) {
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
    };
    expect(app::ClampedPosition(at(300, 200), screen), 300, 200);
    expect(app::ClampedPosition(at(-40, -30), screen), 0, 0);
    expect(app::ClampedPosition(at(0, 120), screen), 0, 120);
    expect(app::ClampedPosition(at(1005, 10), screen), 1005, 10); // right edge exactly on the screen's
    expect(app::ClampedPosition(at(1006, 10), screen), 1005, 10);
    expect(app::ClampedPosition(at(5000, -1), screen), 1005, 0);
    // The bottom is left alone.
    expect(app::ClampedPosition(at(10, 900), screen), 10, 900);
    // A second monitor right of the first holds the window on itself.
    const RECT second = {1280, 0, 2560, 1024};
    expect(app::ClampedPosition(at(1500, 10), second), 1500, 10);
    expect(app::ClampedPosition(at(2400, 10), second), 2285, 10);
}
