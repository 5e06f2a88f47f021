#include "grouplist/RowPainter.h"

#include "base/Dib32.h"
#include "grouplist/EntryAnimations.h"
#include "grouplist/ExpandArrows.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ItemText.h"
#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/PaintContext.h"

#include <algorithm>

namespace grouplist {

namespace {

HBITMAP g_defaultAvatar = nullptr;     // not owned: the host's pictures
HBITMAP g_defaultGreyAvatar = nullptr; // not owned
SIZE g_defaultAvatarSize{kDefaultAvatarSize, kDefaultAvatarSize};

// DT_NOPREFIX: a name such as "A&B" is shown as it is, not with an underlined B.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_NOPREFIX;
constexpr UINT kCentredFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

using Doc = ItemDocument;

// The picture box of large and medium entry rows, and the missing-program mark on it.
constexpr int kLargeBox = 44;
constexpr int kMediumBox = 24;
constexpr int kLargeMark = 14;
constexpr int kMediumMark = 11;
constexpr COLORREF kMissingName = RGB(128, 128, 128);
constexpr COLORREF kMarkAmber = RGB(255, 190, 30);
constexpr COLORREF kMarkEdge = RGB(200, 130, 0);
constexpr COLORREF kMarkInk = RGB(60, 40, 0);

void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, UINT format)
{
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

// Lines stay one pixel wide at every scale, as the system draws its own
// list and edit frames; only the corner's curve grows.
void DrawRowShape(HDC dc, int width, int height, int shape, int corner, COLORREF pen, COLORREF brush)
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
    ::RoundRect(dc, 0, 0, width, height, corner, corner);
}

// Drawn from the picture's bits, never selected: under Wine, selecting a
// device-dependent bitmap into a DC costs about 0.1 ms, most of a row's paint,
// and DIB sections, cheap to select, cost as much to delete by the thousand.
// A picture made for the box is copied as it is; any other is resampled.
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

// A small amber warning triangle with a dark "!", drawn with the DC pen and
// brush over the bottom-right corner of the picture box.
void DrawMissingMark(HDC dc, const RECT& box, int size)
{
    const int x = box.right - size;
    const int y = box.bottom - size;
    const POINT corners[3] = {{x + size / 2, y}, {x + size - 1, y + size - 1}, {x, y + size - 1}};
    ::SetDCPenColor(dc, kMarkEdge);
    ::SetDCBrushColor(dc, kMarkAmber);
    ::Polygon(dc, corners, 3);
    const int bar = std::max(2, ::MulDiv(size, 2, 14));
    const int left = x + (size - bar) / 2;
    FillSolid(dc, {left, y + ::MulDiv(size, 5, 14), left + bar, y + ::MulDiv(size, 9, 14)}, kMarkInk);
    FillSolid(dc, {left, y + ::MulDiv(size, 10, 14), left + bar, y + ::MulDiv(size, 12, 14)}, kMarkInk);
}

void DrawServiceIcons(HDC dc, HDC stripDc, const ListInstance& instance, const ItemRecord& item, int width,
                      int height)
{
    if (!instance.serviceIconStrip)
        return;
    const base::SelectGuard select(stripDc, instance.serviceIconStrip.get());
    const int cell = instance.Px(kServiceIconSize);
    const std::vector<ServiceIconSlot> slots =
        LayoutServiceIcons(instance.serviceIconCount, item, height, instance.dpi);
    for (size_t i = 0; i < slots.size(); ++i) {
        const RECT& rect = slots[i].rect;
        if (rect.right >= width)
            break;
        const bool hovered = static_cast<int>(i) + 1 == instance.hoveredServiceIcon;
        const RECT grown{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        if (hovered && instance.iconHighlightFill != kNoColour)
            FillSolid(dc, grown, instance.iconHighlightFill);
        ::TransparentBlt(dc, rect.left, rect.top, cell, cell, stripDc, cell * (slots[i].icon - 1), 0, cell, cell,
                         instance.serviceIconKeys[slots[i].icon - 1]);
        if (hovered && instance.iconHighlightFrame != kNoColour)
            FrameSolid(dc, grown, instance.iconHighlightFrame);
    }
}

void DrawEntry(HDC dc, HDC sourceDc, std::vector<RGBQUAD>& scratch, const ListInstance& instance,
               const ItemRecord& item, int row, int width, int height)
{
    // The layout follows the row's height: an enlarged selection is drawn large.
    const bool large = height == instance.Px(kLargeRowHeight);
    const bool medium = height == instance.Px(kMediumRowHeight);
    const NamePlace name = PlaceName(instance, false, width, height);
    if (!large && !medium) {
        if (height == instance.Px(kSmallRowHeight)) {
            // Small rows are black, whatever the name colour.
            ::SetTextColor(dc, item.missing ? kMissingName : RGB(0, 0, 0));
            DrawTextIn(dc, item.name, name.rect, name.format);
        }
        return;
    }

    const int margin = instance.Px(4);
    const int box = instance.Px(large ? kLargeBox : kMediumBox);
    const int size = instance.Px(large ? 40 : 20);
    const int inset = (box - size) / 2;
    const int top = (height - box) / 2;
    const int o = instance.Px(item.avatarOffset);

    HBITMAP picture = item.online ? item.avatarPicture : item.greyPicture;
    SIZE source{item.avatarWidth, item.avatarHeight};
    if (!item.avatarPicture && !item.greyPicture) {
        picture = item.online ? g_defaultAvatar : g_defaultGreyAvatar;
        source = g_defaultAvatarSize;
    }
    COLORREF nameColour = item.online ? item.nameColor : RGB(0, 0, 0);
    if (item.missing)
        nameColour = kMissingName;

    const RECT frame{margin + o, top + o, margin + box + o, top + box + o};
    FillSolid(dc, frame, RGB(255, 255, 255));
    FrameSolid(dc, frame, instance.avatarFrame);
    StretchPicture(dc, scratch, picture, source, frame.left + inset, frame.top + inset, size);
    if (item.missing)
        DrawMissingMark(dc, frame, instance.Px(large ? kLargeMark : kMediumMark));
    ::SetTextColor(dc, nameColour);
    DrawTextIn(dc, item.name, name.rect, name.format);
    if (medium)
        return;
    if (!item.signature.empty()) {
        ::SetTextColor(dc, instance.signatureColour);
        DrawTextIn(dc, item.signature, {name.rect.left, top + instance.Px(16), name.rect.right, top + instance.Px(28)},
                   kTextFormat);
    }
    if (row == instance.hoverRow && item.serviceIconCount > 0)
        DrawServiceIcons(dc, sourceDc, instance, item, width, height);
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
    // From the index: no attribute read for a mark most entries never have.
    if (const ItemIndex::Entry* indexed = instance.index.FindEntry(item.handle))
        item.missing = indexed->missing;
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

std::vector<ServiceIconSlot> LayoutServiceIcons(int controlIconCount, const ItemRecord& item, int rowHeight, int dpi)
{
    std::vector<ServiceIconSlot> slots;
    if (item.serviceIconCount <= 0 || static_cast<int>(item.serviceIcons.size()) < item.serviceIconCount)
        return slots;
    const int cell = base::Scaled(kServiceIconSize, dpi);
    const int gap = base::Scaled(2, dpi);
    const int top = rowHeight - base::Scaled(19, dpi);
    RECT rect{base::Scaled(50, dpi), top, base::Scaled(50, dpi) + cell, top + cell};
    for (int i = 0; i < item.serviceIconCount; ++i) {
        const int icon = item.serviceIcons[i];
        if (icon < 1 || icon > controlIconCount)
            continue;
        slots.push_back({rect, icon});
        rect.left = rect.right + gap;
        rect.right = rect.left + cell;
    }
    return slots;
}

NamePlace PlaceName(const ListInstance& instance, bool group, int width, int height)
{
    const int right = width - instance.Px(4);
    if (group)
        return {{instance.Px(25), instance.Px(6), right, height - instance.Px(2)}, kTextFormat};
    if (height == instance.Px(kLargeRowHeight)) {
        const int top = (height - instance.Px(kLargeBox)) / 2;
        return {{instance.Px(50), top, right, height - instance.Px(2)}, kTextFormat};
    }
    if (height == instance.Px(kMediumRowHeight))
        return {{instance.Px(30), 0, right, height}, kCentredFormat};
    return {{instance.Px(5), 0, right, height}, kCentredFormat};
}

base::UniqueFont CreateRowFont(int dpi)
{
    return base::UniqueFont(::CreateFontW(base::Scaled(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                                          DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, L"宋体"));
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
        DrawRowShape(mem, width, height, colours.shape, instance.Px(5), pen, brush);

        if (item.IsGroup()) {
            const int arrow = instance.Px(kArrowSize);
            DrawExpandArrow(mem, instance.Px(5), (height - arrow) / 2, arrow, item.expanded);
            ::SetTextColor(mem, item.nameColor);
            const NamePlace name = PlaceName(instance, true, width, height);
            DrawTextIn(mem, item.name, name.rect, name.format);
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
    // Drawn from their real size: a host may make them for its scale.
    BITMAP bm{};
    if (picture && ::GetObjectW(picture, sizeof bm, &bm) == sizeof bm)
        g_defaultAvatarSize = {bm.bmWidth, bm.bmHeight};
    else
        g_defaultAvatarSize = {kDefaultAvatarSize, kDefaultAvatarSize};
}

} // namespace grouplist
