#include "grouplist/RowPainter.h"

#include "grouplist/ExpandArrows.h"
#include "app/image/PictureHelpers.h"
#include "grouplist/ItemStore.h"

namespace grouplist {

namespace {

HBITMAP g_defaultAvatar = nullptr;     // not owned: the host's pictures
HBITMAP g_defaultGreyAvatar = nullptr; // not owned

constexpr int kDefaultAvatarSize = 40;
constexpr int kIconSize = 16;
// DT_NOPREFIX: a name such as "A&B" is shown as it is, not with an underlined B.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_NOPREFIX;
constexpr UINT kCentredFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    const base::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    const base::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &rect, brush.get());
}

void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, UINT format)
{
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void DrawRowShape(HDC dc, int width, int height, int shape, COLORREF pen, COLORREF brush)
{
    const RECT whole{0, 0, width, height};
    if (shape == 1) {
        FillSolid(dc, whole, brush);
        FrameSolid(dc, whole, pen);
        return;
    }
    const base::UniquePen rowPen(::CreatePen(PS_SOLID, 1, pen));
    const base::UniqueBrush rowBrush(::CreateSolidBrush(brush));
    const base::SelectGuard selectPen(dc, rowPen.get());
    const base::SelectGuard selectBrush(dc, rowBrush.get());
    ::RoundRect(dc, 0, 0, width, height, 5, 5);
}

void StretchPicture(HDC dc, HBITMAP picture, SIZE source, int x, int y, int size)
{
    if (!picture)
        return;
    const base::UniqueMemoryDc pictureDc = base::CreateMemoryDc(dc);
    const base::SelectGuard select(pictureDc.get(), picture);
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, x, y, size, size, pictureDc.get(), 0, 0, source.cx, source.cy, SRCCOPY);
}

void DrawArrow(HDC dc, bool expanded, int rowHeight)
{
    HBITMAP arrows = ExpandArrowsBitmap();
    if (!arrows)
        return;
    const base::UniqueMemoryDc arrowDc = base::CreateMemoryDc(dc);
    const base::SelectGuard select(arrowDc.get(), arrows);
    ::TransparentBlt(dc, 5, (rowHeight - kArrowSize) / 2, kArrowSize, kArrowSize, arrowDc.get(), 0,
                     expanded ? kArrowSize : 0, kArrowSize, kArrowSize, kArrowKey);
}

void DrawServiceIcons(HDC dc, const ListInstance& instance, const ItemRecord& item, int width, int height)
{
    if (!instance.serviceIconStrip)
        return;
    const base::UniqueMemoryDc stripDc = base::CreateMemoryDc(dc);
    const base::SelectGuard select(stripDc.get(), instance.serviceIconStrip.get());
    const std::vector<ServiceIconSlot> slots = LayoutServiceIcons(instance.serviceIconCount, item, height);
    for (size_t i = 0; i < slots.size(); ++i) {
        const RECT& rect = slots[i].rect;
        if (rect.right >= width)
            break;
        const bool hovered = static_cast<int>(i) + 1 == instance.hoveredServiceIcon;
        const RECT grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        if (hovered && instance.iconHighlightFill != kNoColour)
            FillSolid(dc, grown, instance.iconHighlightFill);
        ::TransparentBlt(dc, rect.left, rect.top, kIconSize, kIconSize, stripDc.get(), kIconSize * (slots[i].icon - 1),
                         0, kIconSize, kIconSize, instance.serviceIconKeys[slots[i].icon - 1]);
        if (hovered && instance.iconHighlightFrame != kNoColour)
            FrameSolid(dc, grown, instance.iconHighlightFrame);
    }
}

void DrawEntry(HDC dc, const ListInstance& instance, const ItemRecord& item, int row, int width, int height)
{
    constexpr int margin = 4;
    const int box = height == kLargeRowHeight ? 44 : 24;
    const int top = (height - box) / 2;
    const int o = item.avatarOffset;

    HBITMAP picture = item.online ? item.avatarPicture : item.greyPicture;
    SIZE source{item.avatarWidth, item.avatarHeight};
    if (!item.avatarPicture && !item.greyPicture) {
        picture = item.online ? g_defaultAvatar : g_defaultGreyAvatar;
        source = {kDefaultAvatarSize, kDefaultAvatarSize};
    }
    const COLORREF nameColour = item.online ? item.nameColor : RGB(0, 0, 0);

    if (height != kSmallRowHeight) {
        const RECT frame{margin + o, top + o, margin + box + o, top + box + o};
        FillSolid(dc, frame, RGB(255, 255, 255));
        FrameSolid(dc, frame, instance.avatarFrame);
    }
    if (height == kLargeRowHeight) {
        StretchPicture(dc, picture, source, margin + 2 + o, top + 2 + o, 40);
        ::SetTextColor(dc, nameColour);
        DrawTextIn(dc, item.name, {50, top, width - 4, height - 2}, kTextFormat);
        if (!item.signature.empty()) {
            ::SetTextColor(dc, instance.signatureColour);
            DrawTextIn(dc, item.signature, {50, top + 16, width - 4, top + 28}, kTextFormat);
        }
        if (row == instance.hoverRow && item.serviceIconCount > 0)
            DrawServiceIcons(dc, instance, item, width, height);
    } else if (height == kMediumRowHeight) {
        StretchPicture(dc, picture, source, 6 + o, top + 2 + o, box - 4);
        ::SetTextColor(dc, nameColour);
        DrawTextIn(dc, item.name, {box + 6, 0, width - 4, height}, kCentredFormat);
    } else if (height == kSmallRowHeight) {
        // Small rows keep the DC's own black, whatever the name colour.
        DrawTextIn(dc, item.name, {5, 0, width - 4, height}, kCentredFormat);
    }
}

// A picture as a bitmap of its own size: icons are drawn onto white.
base::UniqueBitmap BitmapOf(app::Picture picture, SIZE size)
{
    if (picture.bitmap || !picture.icon)
        return std::move(picture.bitmap);
    const base::WindowDc screen(nullptr);
    base::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    const base::UniqueMemoryDc dc = base::CreateMemoryDc(screen.get());
    if (!bitmap || !dc)
        return {};
    const base::SelectGuard select(dc.get(), bitmap.get());
    const RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(dc.get(), 0, 0, picture.icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    return bitmap;
}

} // namespace

base::UniqueBitmap DecodeBitmap(std::span<const std::uint8_t> bytes, SIZE& size)
{
    size = {};
    return BitmapOf(app::PictureFromBytes(bytes, &size), size);
}

std::vector<ServiceIconSlot> LayoutServiceIcons(int controlIconCount, const ItemRecord& item, int rowHeight)
{
    std::vector<ServiceIconSlot> slots;
    if (item.serviceIconCount <= 0 || static_cast<int>(item.serviceIcons.size()) < item.serviceIconCount)
        return slots;
    RECT rect{50, rowHeight - 19, 50 + kIconSize, rowHeight - 3};
    for (int i = 0; i < item.serviceIconCount; ++i) {
        const int icon = item.serviceIcons[i];
        if (icon < 1 || icon > controlIconCount)
            continue;
        slots.push_back({rect, icon});
        rect.left = rect.right + 2;
        rect.right = rect.left + kIconSize;
    }
    return slots;
}

base::UniqueFont CreateRowFont()
{
    return base::UniqueFont(::CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                          OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                                          FF_MODERN | DEFAULT_PITCH, L"宋体"));
}

void PaintRow(ListInstance& instance, int row, const RowTarget* target, std::optional<int> hoveredIcon)
{
    if (hoveredIcon)
        instance.hoveredServiceIcon = *hoveredIcon;
    ItemRecord item;
    if (row < 0 || !ReadItem(instance, ItemAtRow(instance.list, row), item))
        return;

    RECT rect{};
    std::optional<base::WindowDc> windowDc;
    HDC dc = nullptr;
    if (target) {
        dc = target->dc;
        rect = target->rect;
    } else {
        if (::SendMessageW(instance.list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) ==
            LB_ERR)
            return;
        windowDc.emplace(instance.list);
        dc = windowDc->get();
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0)
        return;

    const base::UniqueMemoryDc memory = base::CreateMemoryDc(dc);
    const base::UniqueBitmap canvas(::CreateCompatibleBitmap(dc, width, height));
    const base::UniqueFont font = CreateRowFont();
    if (!memory || !canvas)
        return;
    {
        const base::SelectGuard selectCanvas(memory.get(), canvas.get());
        const base::SelectGuard selectFont(memory.get(), font.get());
        HDC mem = memory.get();
        ::SetBkMode(mem, TRANSPARENT);
        FillSolid(mem, {0, 0, width, height}, instance.background);

        const RowColours& colours = item.IsGroup() ? instance.group : instance.entry;
        COLORREF pen = colours.normalPen;
        COLORREF brush = colours.normalBrush;
        if (row == instance.selectedRow) {
            pen = colours.selectedPen;
            brush = colours.selectedBrush;
        } else if (row == instance.hoverRow) {
            pen = colours.hoverPen;
            brush = colours.hoverBrush;
        }
        DrawRowShape(mem, width, height, colours.shape, pen, brush);

        if (item.IsGroup()) {
            DrawArrow(mem, item.expanded, height);
            ::SetTextColor(mem, item.nameColor);
            DrawTextIn(mem, item.name, {25, 6, width - 4, height - 2}, kTextFormat);
        } else {
            DrawEntry(mem, instance, item, row, width, height);
        }
        ::BitBlt(dc, rect.left, rect.top, width, height, mem, 0, 0, SRCCOPY);
    }
}

void SetDefaultAvatarPair(HBITMAP picture, HBITMAP grey)
{
    g_defaultAvatar = picture;
    g_defaultGreyAvatar = grey;
}

} // namespace grouplist
