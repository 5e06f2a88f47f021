#include "grouplist/RowPainter.h"

#include "base/Dib32.h"
#include "grouplist/EntryAnimations.h"
#include "grouplist/ExpandArrows.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ItemText.h"
#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/PaintContext.h"

namespace grouplist {

namespace {

HBITMAP g_defaultAvatar = nullptr;     // not owned: the host's pictures
HBITMAP g_defaultGreyAvatar = nullptr; // not owned

constexpr int kDefaultAvatarSize = 40;
constexpr int kIconSize = 16;
// DT_NOPREFIX: a name such as "A&B" is shown as it is, not with an underlined B.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_NOPREFIX;
constexpr UINT kCentredFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

using Doc = ItemDocument;

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
    // The canvas holds the DC pen and brush.
    ::SetDCPenColor(dc, pen);
    ::SetDCBrushColor(dc, brush);
    ::RoundRect(dc, 0, 0, width, height, 5, 5);
}

// Drawn from the picture's bits, never selected: under Wine, selecting a
// device-dependent bitmap into a DC costs about 0.1 ms, most of a row's paint,
// and DIB sections, cheap to select, cost as much to delete by the thousand.
void StretchPicture(HDC dc, std::vector<RGBQUAD>& scratch, HBITMAP picture, SIZE source, int x, int y, int size)
{
    if (!picture || source.cx <= 0 || source.cy <= 0)
        return;
    BITMAPINFO info = base::TopDown32Info(source.cx, source.cy);
    scratch.resize(static_cast<std::size_t>(source.cx) * static_cast<std::size_t>(source.cy));
    if (::GetDIBits(dc, picture, 0, static_cast<UINT>(source.cy), scratch.data(), &info, DIB_RGB_COLORS) !=
        source.cy)
        return;
    const bool ownSize = source.cx == size && source.cy == size;
    ::SetStretchBltMode(dc, ownSize ? COLORONCOLOR : HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchDIBits(dc, x, y, size, size, 0, 0, source.cx, source.cy, scratch.data(), &info, DIB_RGB_COLORS,
                    SRCCOPY);
}

void DrawArrow(HDC dc, HDC sourceDc, bool expanded, int rowHeight)
{
    HBITMAP arrows = ExpandArrowsBitmap();
    if (!arrows)
        return;
    const base::SelectGuard select(sourceDc, arrows);
    ::TransparentBlt(dc, 5, (rowHeight - kArrowSize) / 2, kArrowSize, kArrowSize, sourceDc, 0,
                     expanded ? kArrowSize : 0, kArrowSize, kArrowSize, kArrowKey);
}

void DrawServiceIcons(HDC dc, HDC stripDc, const ListInstance& instance, const ItemRecord& item, int width,
                      int height)
{
    if (!instance.serviceIconStrip)
        return;
    const base::SelectGuard select(stripDc, instance.serviceIconStrip.get());
    const std::vector<ServiceIconSlot> slots = LayoutServiceIcons(instance.serviceIconCount, item, height);
    for (size_t i = 0; i < slots.size(); ++i) {
        const RECT& rect = slots[i].rect;
        if (rect.right >= width)
            break;
        const bool hovered = static_cast<int>(i) + 1 == instance.hoveredServiceIcon;
        const RECT grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        if (hovered && instance.iconHighlightFill != kNoColour)
            FillSolid(dc, grown, instance.iconHighlightFill);
        ::TransparentBlt(dc, rect.left, rect.top, kIconSize, kIconSize, stripDc, kIconSize * (slots[i].icon - 1),
                         0, kIconSize, kIconSize, instance.serviceIconKeys[slots[i].icon - 1]);
        if (hovered && instance.iconHighlightFrame != kNoColour)
            FrameSolid(dc, grown, instance.iconHighlightFrame);
    }
}

void DrawEntry(HDC dc, HDC sourceDc, std::vector<RGBQUAD>& scratch, const ListInstance& instance,
               const ItemRecord& item, int row, int width, int height)
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
        StretchPicture(dc, scratch, picture, source, margin + 2 + o, top + 2 + o, 40);
        ::SetTextColor(dc, nameColour);
        DrawTextIn(dc, item.name, {50, top, width - 4, height - 2}, kTextFormat);
        if (!item.signature.empty()) {
            ::SetTextColor(dc, instance.signatureColour);
            DrawTextIn(dc, item.signature, {50, top + 16, width - 4, top + 28}, kTextFormat);
        }
        if (row == instance.hoverRow && item.serviceIconCount > 0)
            DrawServiceIcons(dc, sourceDc, instance, item, width, height);
    } else if (height == kMediumRowHeight) {
        StretchPicture(dc, scratch, picture, source, 6 + o, top + 2 + o, box - 4);
        ::SetTextColor(dc, nameColour);
        DrawTextIn(dc, item.name, {box + 6, 0, width - 4, height}, kCentredFormat);
    } else if (height == kSmallRowHeight) {
        // Small rows are black, whatever the name colour.
        ::SetTextColor(dc, RGB(0, 0, 0));
        DrawTextIn(dc, item.name, {5, 0, width - 4, height}, kCentredFormat);
    }
}

// Only what a row shows: a paint reads a third of an entry's attributes.
bool ReadDrawnFields(const ListInstance& instance, int handle, int row, ItemRecord& item)
{
    IXMLDOMElement* element = instance.document.Find(handle);
    if (!element)
        return false;
    item.handle = Doc::Int(element, Attr::Handle);
    if (item.handle == 0)
        return false;
    item.kind = Doc::Text(element, Attr::Kind);
    if (item.IsGroup()) {
        item.name = Doc::Text(element, Attr::GroupName);
        item.expanded = Doc::Flag(element, Attr::Expanded);
        item.nameColor = static_cast<COLORREF>(Doc::Int(element, Attr::NameColor));
        return true;
    }
    item.name = Doc::Text(element, Attr::EntryName);
    item.online = Doc::Flag(element, Attr::Online);
    item.nameColor = static_cast<COLORREF>(Doc::Int(element, Attr::NameColor));
    if (instance.entryRowHeight == kSmallRowHeight && !EnlargesSelection(instance))
        return true;
    item.avatarPicture = IntToBitmap(Doc::Int(element, Attr::Avatar));
    item.greyPicture = IntToBitmap(Doc::Int(element, Attr::GreyAvatar));
    item.avatarWidth = Doc::Int(element, Attr::AvatarWidth);
    item.avatarHeight = Doc::Int(element, Attr::AvatarHeight);
    item.avatarOffset = Doc::Int(element, Attr::AvatarOffset);
    item.signature = Doc::Text(element, Attr::Signature);
    if (row == instance.hoverRow) {
        item.serviceIconCount = Doc::Int(element, Attr::IconCount);
        if (item.serviceIconCount > 0)
            item.serviceIcons = DecodeServiceIcons(Doc::Text(element, Attr::Icons));
    }
    return true;
}

} // namespace

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
    // The list box hands the row's item with WM_DRAWITEM: one message less per row.
    const int handle = target && target->item ? target->item : ItemAtRow(instance.list, row);
    if (row < 0 || !ReadDrawnFields(instance, handle, row, item))
        return;
    if (item.online && BlinkShowsOffline(instance, item.handle))
        item.online = false;

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
        // Rows scrolled out of sight are painted when they come back.
        RECT client{};
        RECT visible{};
        ::GetClientRect(instance.list, &client);
        if (!::IntersectRect(&visible, &client, &rect))
            return;
        windowDc.emplace(instance.list);
        dc = windowDc->get();
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0)
        return;

    HDC mem = instance.paint.Canvas(width, height);
    if (!mem)
        return;
    {
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
            DrawArrow(mem, instance.paint.SourceDc(), item.expanded, height);
            ::SetTextColor(mem, item.nameColor);
            DrawTextIn(mem, item.name, {25, 6, width - 4, height - 2}, kTextFormat);
        } else {
            DrawEntry(mem, instance.paint.SourceDc(), instance.paint.Pixels(), instance, item, row, width, height);
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
