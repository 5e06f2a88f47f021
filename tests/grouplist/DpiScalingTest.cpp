// The list at another display scale: rows measured and drawn for it,
// pictures of the box's size copied as they are, arrows and icons drawn at
// the scale, and the way back to 96 DPI leaving exactly the list it was.

#include "grouplist/ListFixture.h"

#include "base/Dib32.h"

#include "Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

using testing_support::Canvas;
using testing_support::SolidBmp;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kArrowBlue = RGB(47, 111, 200);
constexpr COLORREF kHoverBrush = 0xFFF0DC;
constexpr COLORREF kAvatarFrame = 0xE9E3D7;
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kIconFrame = 0x438ACE;
constexpr wchar_t kHostClass[] = L"QuilleryListTestHost"; // registered by the fixture

struct Painted {
    int w = 0;
    int h = 0;
    std::vector<COLORREF> pixels;
    [[nodiscard]] COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }
};

// A row as the list has its host paint it, at the size the list gives it.
Painted PaintRow(HWND host, HWND list, int row)
{
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    Painted p{r.right - r.left, r.bottom - r.top, {}};
    const Canvas canvas(p.w, p.h, RGB(1, 2, 3));
    DRAWITEMSTRUCT draw{ODT_LISTBOX, 0, static_cast<UINT>(row), ODA_DRAWENTIRE, 0, list, canvas.Dc(), {0, 0, p.w, p.h},
                        0};
    ::SendMessageW(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            p.pixels.push_back(canvas.At(x, y));
    return p;
}

// A picture of size x size: a one-pixel checker of black and white, its
// left column red and its right column blue. No resampling keeps it.
COLORREF CheckerAt(int x, int y, int size)
{
    if (x == 0)
        return RGB(255, 0, 0);
    if (x == size - 1)
        return RGB(0, 0, 255);
    return (x + y) % 2 ? RGB(0, 0, 0) : kWhite;
}

base::Dib32 Checker(int size)
{
    base::Dib32 dib = base::CreateDib32(size, size);
    for (int y = 0; y < size && dib.pixels; ++y)
        for (int x = 0; x < size; ++x)
            dib.pixels[y * size + x] = base::ToDibPixel(CheckerAt(x, y, size));
    return dib;
}

// Pixels of the painted box at (left, top) that differ from Checker(size).
int Mismatches(const Painted& p, int left, int top, int size)
{
    int wrong = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            wrong += p.At(left + x, top + y) != CheckerAt(x, y, size);
    return wrong;
}

class DpiScaling : public testing_support::ListFixture {
protected:
    Painted Paint(int row) const { return PaintRow(m_host, m_list, row); }
    // The host takes its size for the scale first, as the application's window does.
    void Scale(int dpi)
    {
        ::SetWindowPos(m_host, nullptr, 0, 0, 275 * dpi / 96, 400 * dpi / 96, SWP_NOMOVE | SWP_NOZORDER);
        m_control.SetDpi(dpi);
    }
    std::vector<int> Heights() const
    {
        std::vector<int> heights;
        for (size_t row = 0; row < Rows().size(); ++row)
            heights.push_back(RowHeight(static_cast<int>(row)));
        return heights;
    }
    int FontHeight() const
    {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(m_list, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    }
    void MoveTo(int x, int y) const { ::SendMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
};

// What both lists of the round trip hold: a collapsed and an expanded
// group, entries with a picture, with icons, offline, and without a picture.
void Populate(grouplist::GroupedListControl& control)
{
    const int icon = control.AddServiceIcon(SolidBmp(32, 32, kGreen));
    control.AddGroup(L"Closed", false, RGB(200, 0, 0));
    const int open = control.AddGroup(L"Open", true);
    for (int i = 0; i < 4; ++i) {
        grouplist::EntryInfo info;
        info.groupHandle = open;
        info.name = L"entry " + std::to_wstring(i);
        info.signature = L"C:\\entry.exe";
        info.online = i != 2;
        if (i != 3)
            info.avatarImage = SolidBmp(40, 40, RGB(0, 128, 255));
        const std::vector<int> icons{icon, icon};
        control.AddEntry(info, i == 1 ? &icons : nullptr);
    }
}

} // namespace

TEST_F(DpiScaling, EveryRowOfEveryModeIsMeasuredForTheScaleWithMarksAndFontFollowing)
{
    Populate(m_control);
    m_control.SelectItem(m_control.FindEntryByName(L"entry 1"));
    MoveTo(100, RowRect(4).top + 5);
    const std::vector<int> rows = Rows();
    ASSERT_EQ(Heights(), (std::vector<int>{24, 24, 54, 54, 54, 54}));
    EXPECT_EQ(m_control.Dpi(), 96);
    EXPECT_EQ(FontHeight(), 12);

    struct Expected {
        int dpi, group, large, medium, small;
    };
    for (const Expected e : {Expected{192, 48, 108, 60, 40}, Expected{144, 36, 81, 45, 30}}) {
        SCOPED_TRACE(e.dpi);
        Scale(e.dpi);
        EXPECT_EQ(m_control.Dpi(), e.dpi);
        EXPECT_EQ(Heights(), (std::vector<int>{e.group, e.group, e.large, e.large, e.large, e.large}));
        EXPECT_EQ(FontHeight(), e.dpi / 8);
        // The rows, the selection and the hover stay on their items.
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(m_control.SelectedRow(), 3);
        EXPECT_EQ(::SendMessageW(m_list, LB_GETCURSEL, 0, 0), 3);
        EXPECT_EQ(m_control.HoverRow(), 4);
        RECT list{};
        RECT host{};
        ::GetWindowRect(m_list, &list);
        ::GetClientRect(m_host, &host);
        EXPECT_EQ(list.right - list.left, host.right) << "the list fills its host";
        EXPECT_EQ(list.bottom - list.top, host.bottom);

        m_control.SetMediumMode(true); // the selection is enlarged to the large height
        EXPECT_EQ(Heights(), (std::vector<int>{e.group, e.group, e.medium, e.large, e.medium, e.medium}));
        m_control.SetSmallMode(false);
        EXPECT_EQ(Heights(), (std::vector<int>{e.group, e.group, e.small, e.small, e.small, e.small}));
        // Rows made afresh take the scale too.
        const int open = m_control.FindGroupByName(L"Open");
        m_control.CollapseGroup(open);
        m_control.AddGroup(L"Later");
        m_control.ExpandGroup(open);
        EXPECT_EQ(Heights(), (std::vector<int>{e.group, e.group, e.small, e.small, e.small, e.small, e.group}));
        m_control.DeleteGroup(m_control.FindGroupByName(L"Later"));
        m_control.SetLargeMode();
        m_control.SelectItem(m_control.FindEntryByName(L"entry 1"));
        MoveTo(100, RowRect(4).top + 5);
    }

    // Given before the list is made, the scale is the one it is made at.
    ::DestroyWindow(m_host);
    m_control = grouplist::GroupedListControl();
    m_control.SetDpi(144);
    EXPECT_EQ(m_control.Dpi(), 144);
    m_host = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 412, 600, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_TRUE(m_control.Create(m_host, 0, 1));
    m_list = m_control.GetWindowHandle();
    EXPECT_EQ(m_control.Dpi(), 144);
    Populate(m_control);
    EXPECT_EQ(Heights(), (std::vector<int>{36, 36, 45, 45, 45, 45}));
    EXPECT_EQ(FontHeight(), 18);
}

TEST_F(DpiScaling, APictureOfTheBoxSizeIsCopiedPixelForPixelAndOthersFillTheBox)
{
    const int group = m_control.AddGroup(L"G", true);
    const int sharp = AddEntry(group, L"sharp");
    AddEntry(group, L"plain");
    const int none = AddEntry(group, L"none", true, {}, 0, false);
    Scale(192);

    // Large rows at 200 %: an 88 px frame from (8, 10), the picture 80 px from (12, 14).
    base::Dib32 checker = Checker(80);
    ASSERT_EQ(m_control.SetEntryPicture(sharp, checker.bitmap.get()), 1);
    const Painted large = Paint(1);
    ASSERT_EQ(large.h, 108);
    EXPECT_EQ(Mismatches(large, 12, 14, 80), 0);
    EXPECT_EQ(large.At(8, 10), kAvatarFrame);
    EXPECT_EQ(large.At(95, 97), kAvatarFrame);
    EXPECT_EQ(large.At(11, 13), kWhite);
    // A 40 px picture is resampled to fill the whole 80 px box.
    const Painted filled = Paint(2);
    for (POINT p : {POINT{12, 14}, POINT{91, 93}, POINT{50, 50}})
        EXPECT_EQ(filled.At(p.x, p.y), RGB(0, 128, 255)) << p.x << "," << p.y;
    EXPECT_EQ(filled.At(92, 94), kWhite);

    // The default picture, made for the scale by the host, is drawn as it is too.
    base::Dib32 avatar = Checker(80);
    grouplist::GroupedListControl::SetDefaultAvatars(avatar.bitmap.get(), avatar.bitmap.get());
    const std::unique_ptr<void, void (*)(void*)> restore(
        this, [](void*) { grouplist::GroupedListControl::SetDefaultAvatars(nullptr, nullptr); });
    EXPECT_EQ(Mismatches(Paint(RowIndexOf(none)), 12, 14, 80), 0);

    // Medium rows: a 48 px frame from (8, 6), the picture 40 px from (12, 10).
    m_control.SetMediumMode(false);
    base::Dib32 small = Checker(40);
    ASSERT_EQ(m_control.SetEntryPicture(sharp, small.bitmap.get()), 1);
    const Painted medium = Paint(1);
    ASSERT_EQ(medium.h, 60);
    EXPECT_EQ(Mismatches(medium, 12, 10, 40), 0);
    EXPECT_EQ(medium.At(8, 6), kAvatarFrame);
    EXPECT_EQ(medium.At(55, 53), kAvatarFrame);
    for (HBITMAP picture : {checker.bitmap.release(), small.bitmap.release()})
        grouplist::GroupedListControl::ReleasePicture(picture);
}

TEST_F(DpiScaling, ArrowsAndServiceIconsAreDrawnAndHitAtTheScale)
{
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(64, 64, kGreen)), 1);
    ASSERT_EQ(m_control.AddServiceIcon(SolidBmp(16, 16, RGB(0, 0, 160))), 2);
    const int group = m_control.AddGroup(L"G", false);
    const int entry = AddEntry(group, L"one", true, {1, 2});
    Scale(192);

    // The arrow box is 22 px at (10, 13) of the 48 px row: a triangle of
    // 100 pixels, 10 deep and 19 across, sharp (no pixel of a blended colour).
    const auto expectArrow = [](const Painted& p, RECT expected) {
        RECT bounds{p.w, p.h, -1, -1};
        int count = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < 40; ++x) {
                EXPECT_TRUE(p.At(x, y) == kArrowBlue || p.At(x, y) == kWhite) << x << "," << y;
                if (p.At(x, y) != kArrowBlue)
                    continue;
                ++count;
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
        EXPECT_EQ(count, 100);
        EXPECT_TRUE(::EqualRect(&bounds, &expected))
            << bounds.left << "," << bounds.top << " - " << bounds.right << "," << bounds.bottom;
    };
    ASSERT_EQ(Paint(0).h, 48);
    expectArrow(Paint(0), {16, 14, 26, 33});
    ASSERT_EQ(m_control.ExpandGroup(group), 1);
    expectArrow(Paint(0), {11, 19, 30, 29});

    // Icons: 32 px cells from x 100, 38 px above the row's bottom, 4 px apart.
    std::vector<std::pair<int, int>> clicks;
    m_control.SetServiceIconClickHandler([&](int item, int icon, int) { clicks.emplace_back(item, icon); });
    const int top = RowRect(1).top;
    MoveTo(150, top + 86);
    const Painted hover = Paint(1);
    ASSERT_EQ(hover.h, 108);
    EXPECT_EQ(hover.At(100, 70), kGreen);
    EXPECT_EQ(hover.At(131, 101), kGreen);
    EXPECT_EQ(hover.At(132, 90), kHoverBrush);
    EXPECT_EQ(hover.At(99, 90), kHoverBrush);
    EXPECT_EQ(hover.At(150, 86), RGB(0, 0, 160));
    EXPECT_EQ(hover.At(135, 86), kIconFrame) << "the pointed icon is framed";
    EXPECT_EQ(hover.At(168, 86), kIconFrame);
    for (const int x : {116, 150, 134})
        ::SendMessageW(m_list, WM_LBUTTONUP, 0, MAKELPARAM(x, top + 86));
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{entry, 1}, {entry, 2}}));
}

TEST_F(DpiScaling, BackAt96TheListIsPixelForPixelOneNeverScaled)
{
    // A twin list in a second host, never scaled.
    const HWND twinHost = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"twin", WS_POPUP | WS_VISIBLE, 300, 0, 275,
                                            400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(twinHost, nullptr);
    const std::unique_ptr<HWND__, decltype(&::DestroyWindow)> closeTwin(twinHost, &::DestroyWindow);
    grouplist::GroupedListControl twin;
    ASSERT_TRUE(twin.Create(twinHost));
    for (grouplist::GroupedListControl* control : {&m_control, &twin}) {
        Populate(*control);
        control->SelectItem(control->FindEntryByName(L"entry 0"));
        ::SendMessageW(control->GetWindowHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, RowRect(3).top + 45));
    }

    for (const int dpi : {192, 144, 96}) {
        Scale(dpi);
        const Painted row = Paint(3);
        EXPECT_EQ(row.h, base::Scaled(54, dpi));
    }
    RECT mine{};
    RECT theirs{};
    ::GetClientRect(m_list, &mine);
    ::GetClientRect(twin.GetWindowHandle(), &theirs);
    EXPECT_TRUE(::EqualRect(&mine, &theirs));
    const std::vector<int> rows = Rows();
    ASSERT_EQ(rows.size(), 6u);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const Painted a = Paint(row);
        const Painted b = PaintRow(twinHost, twin.GetWindowHandle(), row);
        ASSERT_EQ(a.h, b.h) << "row " << row;
        EXPECT_TRUE(a.pixels == b.pixels) << "row " << row;
    }
    EXPECT_EQ(Paint(3).At(49, 45), kIconFrame) << "the hovered icon's frame is part of the picture";
}
