#include "grouplist/ListFixture.h"

#include "base/Dib32.h"
#include "image/PictureHelpers.h"

#include "Canvas.h"
#include "GdiCount.h"

#include <functional>
#include <memory>
#include <string>

namespace {

using testing_support::Canvas;
using testing_support::SolidBmp;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSentinel = RGB(1, 2, 3);
constexpr COLORREF kArrowBlue = RGB(47, 111, 200);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kHoverPen = 0xFFDEA6;
constexpr COLORREF kHoverBrush = 0xFFF0DC;
constexpr COLORREF kSelectedPen = 0x26C8FD;
constexpr COLORREF kSelectedBrush = 0xA9E7FF;
constexpr COLORREF kAvatarFrame = 0xE9E3D7;
constexpr COLORREF kIconFill = 0xBEE8FC;
constexpr COLORREF kIconFrame = 0x438ACE;
constexpr COLORREF kRed = RGB(220, 0, 0);
constexpr COLORREF kAvatar = RGB(0, 128, 255);
constexpr COLORREF kAvatarGrey = RGB(103, 103, 103); // (30 R + 59 G + 11 B) / 100
constexpr COLORREF kGreen = RGB(0, 160, 0);

bool Reddish(COLORREF c)
{
    return GetRValue(c) - GetGValue(c) > 60 && GetRValue(c) - GetBValue(c) > 60;
}
// Glyph pixels of a black name, whatever the text smoothing.
bool Dark(COLORREF c)
{
    return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
}

bool Any(const Canvas& canvas, RECT r, const std::function<bool(COLORREF)>& test)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (test(canvas.At(x, y)))
                return true;
    return false;
}

class RowPainting : public testing_support::ListFixture {
protected:
    struct Painted {
        std::unique_ptr<Canvas> canvas;
        int w = 0;
        int h = 0;
        [[nodiscard]] COLORREF At(int x, int y) const { return canvas->At(x, y); }
    };

    // The row as the list has its host paint it, at the size the list gives it.
    Painted Paint(int row)
    {
        const RECT r = RowRect(row);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        Painted p{std::make_unique<Canvas>(w, h, kSentinel), w, h};
        DRAWITEMSTRUCT draw{ODT_LISTBOX, 0, static_cast<UINT>(row), ODA_DRAWENTIRE, 0, m_list, p.canvas->Dc(),
                            {0, 0, w, h}, 0};
        ::SendMessageW(m_host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        return p;
    }
    void MoveTo(int x, int y) { ::SendMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void MoveOnto(int row, int x = 200, int dy = 10) { MoveTo(x, RowRect(row).top + dy); }
};

TEST_F(RowPainting, GroupRowArrowPointsByExpansionOverTheRowColour)
{
    const int group = m_control.AddGroup(L"Group", false, kRed);
    AddEntry(group, L"one");
    Painted collapsed = Paint(0);
    ASSERT_EQ(collapsed.h, 24);
    EXPECT_EQ(collapsed.At(collapsed.w - 10, 12), kWhite);
    EXPECT_EQ(collapsed.At(8, 7), kArrowBlue); // right-pointing: the tall left edge
    EXPECT_EQ(collapsed.At(8, 15), kArrowBlue);
    EXPECT_EQ(collapsed.At(6, 9), kWhite);
    EXPECT_TRUE(Any(*collapsed.canvas, {25, 6, collapsed.w - 4, 22}, Reddish));

    ASSERT_EQ(m_control.ExpandGroup(group), 1);
    MoveOnto(0);
    Painted expanded = Paint(0);
    EXPECT_EQ(expanded.At(6, 9), kArrowBlue); // down-pointing: the wide top edge
    EXPECT_EQ(expanded.At(14, 9), kArrowBlue);
    EXPECT_EQ(expanded.At(8, 7), kHoverBrush);
    for (const Painted* p : {&collapsed, &expanded})
        EXPECT_FALSE(Any(*p->canvas, {5, 6, 16, 17}, [](COLORREF c) { return c == kMagenta; }));
}

TEST_F(RowPainting, RowFrameFollowsHoverAndSelection)
{
    const int group = m_control.AddGroup(L"G", true);
    const int first = AddEntry(group, L"one");
    AddEntry(group, L"two");
    const auto expectShape = [this](int row, COLORREF pen, COLORREF brush) {
        const Painted p = Paint(row);
        EXPECT_EQ(p.At(p.w / 2, 0), pen) << "row " << row;
        EXPECT_EQ(p.At(p.w - 1, p.h / 2), pen) << "row " << row;
        EXPECT_EQ(p.At(p.w - 10, p.h - 6), brush) << "row " << row;
        EXPECT_EQ(p.At(0, 0), kWhite) << "rounded corner, row " << row;
    };
    expectShape(1, kWhite, kWhite);
    MoveOnto(1);
    expectShape(1, kHoverPen, kHoverBrush);
    expectShape(2, kWhite, kWhite);
    m_control.SelectItem(first);
    expectShape(1, kSelectedPen, kSelectedBrush); // selected wins over hover
    MoveOnto(0);
    expectShape(0, kHoverPen, kHoverBrush);
    expectShape(1, kSelectedPen, kSelectedBrush);
}

TEST_F(RowPainting, StylesApplyToTheirOwnRowKind)
{
    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"one");
    grouplist::RowStyle square;
    square.shape = 1;
    m_control.SetGroupStyle(square);
    grouplist::EntryStyle entryStyle;
    entryStyle.normalPen = RGB(10, 20, 30);
    entryStyle.normalBrush = RGB(200, 210, 220);
    entryStyle.avatarFrame = RGB(0, 200, 0);
    m_control.SetEntryStyle(entryStyle);

    MoveOnto(0);
    const Painted g = Paint(0);
    EXPECT_EQ(g.At(0, 0), kHoverPen); // square: the corner is framed too
    EXPECT_EQ(g.At(g.w - 1, g.h - 1), kHoverPen);
    EXPECT_EQ(g.At(1, 1), kHoverBrush);
    const Painted e = Paint(1);
    EXPECT_EQ(e.At(0, 0), kWhite);
    EXPECT_EQ(e.At(e.w / 2, 0), RGB(10, 20, 30));
    EXPECT_EQ(e.At(e.w - 10, e.h - 6), RGB(200, 210, 220));
    EXPECT_EQ(e.At(4, 5), RGB(0, 200, 0));
}

TEST_F(RowPainting, LargeEntryShowsAvatarNameAndSignature)
{
    const int group = m_control.AddGroup(L"G", true);
    const int entry = AddEntry(group, L"one");
    m_control.SetNameColor(entry, kRed);
    Painted online = Paint(1);
    ASSERT_EQ(online.h, 54);
    for (POINT p : {POINT{4, 5}, POINT{47, 5}, POINT{4, 48}, POINT{47, 48}})
        EXPECT_EQ(online.At(p.x, p.y), kAvatarFrame) << p.x << "," << p.y;
    EXPECT_EQ(online.At(5, 6), kWhite);
    EXPECT_EQ(online.At(46, 47), kWhite);
    for (POINT p : {POINT{6, 7}, POINT{26, 27}, POINT{45, 46}})
        EXPECT_EQ(online.At(p.x, p.y), kAvatar) << p.x << "," << p.y;
    EXPECT_TRUE(Any(*online.canvas, {50, 5, online.w - 4, 20}, Reddish));
    // The signature is grey text, never as dark as black.
    const RECT signature{50, 21, online.w - 4, 33};
    EXPECT_TRUE(Any(*online.canvas, signature, [](COLORREF c) { return c != kWhite; }));
    EXPECT_FALSE(Any(*online.canvas, signature, [](COLORREF c) { return GetGValue(c) < 0x50; }));

    grouplist::EntryInfo info;
    ASSERT_EQ(m_control.GetEntryInfo(entry, info), 1);
    info.online = false;
    info.signature.clear();
    m_control.UpdateEntry(info);
    const Painted offline = Paint(1);
    EXPECT_EQ(offline.At(26, 27), kAvatarGrey);
    EXPECT_EQ(offline.At(4, 5), kAvatarFrame);
    EXPECT_FALSE(Any(*offline.canvas, {50, 5, offline.w - 4, 20}, Reddish));
    EXPECT_TRUE(Any(*offline.canvas, {50, 5, offline.w - 4, 20}, Dark));
    EXPECT_FALSE(Any(*offline.canvas, signature, [](COLORREF c) { return c != kWhite; }));
}

TEST_F(RowPainting, MissingProgramIsGreyWithAWarningMarkAndSaysSo)
{
    const int group = m_control.AddGroup(L"G", true);
    const int gone = AddEntry(group, L"gone");
    AddEntry(group, L"here");
    const auto rowText = [this](int row) {
        wchar_t text[64] = {};
        ::SendMessageW(m_list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    // The mark lies on the picture box's bottom-right corner; the name beside
    // it is grey, never as dark as black.
    const auto amber = [](const Painted& p, int x, int y) {
        const COLORREF c = p.At(x, y);
        return GetRValue(c) > 200 && GetGValue(c) > 120 && GetGValue(c) < 220 && GetBValue(c) < 80;
    };
    const auto expectMarked = [&](bool marked, const char* state) {
        const Painted p = Paint(1);
        const RECT name{50, 5, p.w - 4, 20};
        EXPECT_EQ(amber(p, 37, 46) && amber(p, 45, 46), marked) << state;
        EXPECT_EQ(Any(*p.canvas, name, Dark), !marked) << state;
        const COLORREF brush = p.At(p.w - 10, p.h - 6);
        EXPECT_TRUE(Any(*p.canvas, name, [brush](COLORREF c) { return c != brush; })) << state << ": a name";
        EXPECT_EQ(rowText(1), marked ? L"gone (找不到程序)" : L"gone") << state;
    };
    EXPECT_EQ(m_control.SetEntryMissing(group, true), 0);
    EXPECT_EQ(m_control.SetEntryMissing(gone + 100, true), 0);
    ASSERT_EQ(m_control.SetEntryMissing(gone, true), 1);
    EXPECT_TRUE(m_control.IsEntryMissing(gone));
    EXPECT_TRUE(m_control.ReadItem(gone)->missing);
    expectMarked(true, "normal");
    m_control.SelectItem(gone);
    MoveOnto(1);
    expectMarked(true, "selected");
    EXPECT_EQ(Paint(2).At(37, 46), kAvatar);

    // A new picture keeps the mark; the filter looks at the name alone.
    SIZE size{};
    HBITMAP picture = image::BitmapFromBytes(SolidBmp(40, 40, kGreen), size).release();
    ASSERT_EQ(m_control.SetEntryPicture(gone, picture), 1);
    grouplist::GroupedListControl::ReleasePicture(picture); // the entry keeps its share
    expectMarked(true, "new picture");
    m_control.SetFilter(L"找不到");
    EXPECT_TRUE(Rows().empty());
    m_control.SetFilter(L"gon");
    EXPECT_EQ(rowText(1), L"gone (找不到程序)");
    m_control.SetFilter({});
    grouplist::EntryInfo info;
    ASSERT_EQ(m_control.GetEntryInfo(gone, info), 1);
    info.name = L"went";
    m_control.UpdateEntry(info);
    EXPECT_EQ(rowText(1), L"went (找不到程序)") << "renamed, still missing";
    info.name = L"gone";
    m_control.UpdateEntry(info);

    ASSERT_EQ(m_control.SetEntryMissing(gone, false), 1);
    EXPECT_FALSE(m_control.IsEntryMissing(gone));
    expectMarked(false, "cleared");
}

TEST_F(RowPainting, MediumAndSmallRowsShrinkTheLayout)
{
    const int icon = m_control.AddServiceIcon(SolidBmp(16, 16, kGreen));
    const int group = m_control.AddGroup(L"G", true);
    const int entry = AddEntry(group, L"one", true, {icon});
    m_control.SetNameColor(entry, kRed);
    m_control.SetMediumMode(false);
    MoveOnto(1);
    const Painted medium = Paint(1);
    ASSERT_EQ(medium.h, 30);
    EXPECT_EQ(medium.At(4, 3), kAvatarFrame);
    EXPECT_EQ(medium.At(27, 26), kAvatarFrame);
    EXPECT_EQ(medium.At(5, 4), kWhite);
    EXPECT_EQ(medium.At(6, 5), kAvatar);
    EXPECT_EQ(medium.At(25, 24), kAvatar);
    EXPECT_EQ(medium.At(26, 25), kWhite);
    EXPECT_TRUE(Any(*medium.canvas, {30, 0, medium.w - 4, 30}, Reddish));
    EXPECT_EQ(medium.At(58, 19), kHoverBrush); // no service icons below 54 px

    m_control.SetSmallMode(false);
    const Painted small = Paint(1);
    ASSERT_EQ(small.h, 20);
    EXPECT_FALSE(Any(*small.canvas, {0, 0, small.w, 20}, [](COLORREF c) { return c == kAvatarFrame || c == kAvatar; }));
    EXPECT_FALSE(Any(*small.canvas, {0, 0, small.w, 20}, Reddish)); // small names are always black
    EXPECT_TRUE(Any(*small.canvas, {5, 0, small.w - 4, 20}, Dark));
}

TEST_F(RowPainting, EntriesWithoutAvatarUseTheDefaultPair)
{
    // Picture: top-left quadrant red, rest green; grey copy: one plain grey.
    base::Dib32 picture = base::CreateDib32(40, 40);
    base::Dib32 grey = base::CreateDib32(40, 40);
    ASSERT_TRUE(picture.pixels && grey.pixels);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            picture.pixels[y * 40 + x] = base::ToDibPixel(x < 20 && y < 20 ? kRed : kGreen);
            grey.pixels[y * 40 + x] = base::ToDibPixel(RGB(90, 90, 90));
        }
    grouplist::GroupedListControl::SetDefaultAvatars(picture.bitmap.get(), grey.bitmap.get());
    const std::unique_ptr<void, void (*)(void*)> restore(
        this, [](void*) { grouplist::GroupedListControl::SetDefaultAvatars(nullptr, nullptr); });

    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"on", true, {}, 0, false);
    AddEntry(group, L"off", false, {}, 0, false);
    const Painted on = Paint(1);
    EXPECT_EQ(on.At(6, 7), kRed);
    EXPECT_EQ(on.At(25, 26), kRed);
    EXPECT_EQ(on.At(26, 27), kGreen);
    EXPECT_EQ(on.At(45, 46), kGreen);
    EXPECT_EQ(Paint(2).At(26, 27), RGB(90, 90, 90));

    m_control.SetMediumMode(false);
    const Painted medium = Paint(1);
    EXPECT_EQ(medium.At(8, 7), kRed);
    EXPECT_EQ(medium.At(23, 22), kGreen);
}

TEST_F(RowPainting, ServiceIconsShowOnTheHoverRowAndHighlightUnderThePointer)
{
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(32, 32, kGreen)), 1);
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, kMagenta)), 2); // all key: fully transparent
    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"one", true, {1, 2});
    AddEntry(group, L"two", true, {1, 2});
    const int h = 54;

    EXPECT_EQ(Paint(1).At(57, h - 11), kWhite);
    MoveOnto(1);
    const Painted hover = Paint(1);
    EXPECT_EQ(hover.At(50, h - 19), kGreen); // a 32 px icon fills its 16 px cell
    EXPECT_EQ(hover.At(65, h - 4), kGreen);
    EXPECT_EQ(hover.At(66, h - 4), kHoverBrush);
    EXPECT_EQ(hover.At(49, h - 11), kHoverBrush);
    EXPECT_EQ(hover.At(75, h - 11), kHoverBrush);
    EXPECT_EQ(Paint(2).At(57, h - 11), kWhite);

    MoveTo(76, RowRect(1).top + h - 11);
    const Painted onIcon = Paint(1);
    EXPECT_EQ(onIcon.At(75, h - 11), kIconFill);
    for (POINT p : {POINT{67, h - 11}, POINT{84, h - 11}, POINT{75, h - 20}, POINT{75, h - 3}})
        EXPECT_EQ(onIcon.At(p.x, p.y), kIconFrame) << p.x << "," << p.y;
    EXPECT_EQ(onIcon.At(49, h - 11), kHoverBrush);

    m_control.SetServiceIconHighlight(grouplist::kNoColour, grouplist::kNoColour);
    const Painted plain = Paint(1);
    EXPECT_EQ(plain.At(75, h - 11), kHoverBrush);
    EXPECT_EQ(plain.At(67, h - 11), kHoverBrush);
}

TEST_F(RowPainting, IconsReachingTheRightEdgeAreLeftOut)
{
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, kGreen)), 1);
    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"one", true, {1, 1, 1, 1});
    // Cells end at x 66, 84, 102 and 120.
    for (const int width : {120, 121}) {
        ::SetWindowPos(m_host, nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_EQ(RowRect(1).right, width);
        MoveOnto(1, 30);
        const Painted p = Paint(1);
        EXPECT_EQ(p.At(101, 45), kGreen) << width;
        EXPECT_EQ(p.At(110, 45), width == 120 ? kHoverBrush : kGreen) << width;
    }
}

TEST_F(RowPainting, IconHighlightFollowsThePointerIntoAnotherRow)
{
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, kGreen)), 1);
    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"one", true, {1, 1});
    AddEntry(group, L"two", true, {1, 1});
    MoveOnto(1);
    MoveTo(58, RowRect(1).top + 43); // first icon of row 1
    ASSERT_EQ(Paint(1).At(49, 43), kIconFrame);

    MoveTo(76, RowRect(2).top + 43); // straight onto the second icon of row 2
    const Painted second = Paint(2);
    EXPECT_EQ(second.At(49, 43), kHoverBrush);
    EXPECT_EQ(second.At(67, 43), kIconFrame);

    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    MoveOnto(1); // away from the icons
    const Painted back = Paint(1);
    EXPECT_EQ(back.At(49, 43), kHoverBrush);
    EXPECT_EQ(back.At(67, 43), kHoverBrush);
}

TEST_F(RowPainting, RowOfAnUnknownItemIsNotPainted)
{
    const int group = m_control.AddGroup(L"G", true);
    const int gone = AddEntry(group, L"one");
    AddEntry(group, L"two");
    ASSERT_EQ(m_control.DeleteEntry(gone), 1);
    ::SendMessageW(m_list, LB_SETITEMDATA, 1, gone); // a stale row still naming it
    const Painted p = Paint(1);
    EXPECT_FALSE(Any(*p.canvas, {0, 0, p.w, p.h}, [](COLORREF c) { return c != kSentinel; }));
}

TEST_F(RowPainting, RepeatedPaintingKeepsGdiObjectsLevel)
{
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, kGreen)), 1);
    const int group = m_control.AddGroup(L"G", true);
    AddEntry(group, L"one", true, {1});
    const int second = AddEntry(group, L"two", false);
    MoveOnto(1);
    MoveTo(58, RowRect(1).top + 43); // with an icon highlighted
    m_control.SelectItem(second);
    for (int row = 0; row < 3; ++row)
        Paint(row);
    const int before = testing_support::LiveGdiObjects();
    for (int i = 0; i < 200; ++i)
        Paint(i % 3);
    EXPECT_LE(testing_support::LiveGdiObjects(), before);
}

} // namespace

namespace {

TEST_F(RowPainting, DecodedAvatarsDrawUprightAtTheirOwnSizeAndScaled)
{
    // Bottom-up file: its first 20 stored rows are the picture's lower half.
    std::vector<std::uint8_t> file = SolidBmp(40, 40, kRed);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            std::uint8_t* p = file.data() + 54 + y * 120 + x * 3;
            p[0] = GetBValue(kGreen), p[1] = GetGValue(kGreen), p[2] = GetRValue(kGreen);
        }
    const int group = m_control.AddGroup(L"G", true);
    grouplist::EntryInfo info;
    info.groupHandle = group;
    info.name = L"two-tone";
    info.online = true;
    info.avatarImage = file;
    ASSERT_EQ(m_control.AddEntry(info), 1);
    const Painted large = Paint(1);
    EXPECT_EQ(large.At(26, 10), kRed);
    EXPECT_EQ(large.At(26, 44), kGreen);

    Recreate(1);
    const int medium = m_control.AddGroup(L"G", true);
    info.groupHandle = medium;
    info.avatarImage = file;
    ASSERT_EQ(m_control.AddEntry(info), 1);
    const Painted small = Paint(1);
    ASSERT_EQ(small.h, 30);
    EXPECT_EQ(small.At(16, 8), kRed);
    EXPECT_EQ(small.At(16, 22), kGreen);
}

} // namespace
