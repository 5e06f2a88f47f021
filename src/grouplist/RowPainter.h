#pragma once
// Painting one row of a grouped list: composed in a memory bitmap of the
// row's size and copied with one BitBlt, so rows never flicker.

#include "grouplist/ListInstance.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace grouplist {

// Where a service icon lies in a row, relative to the row's top-left corner.
struct ServiceIconSlot {
    RECT rect;
    int icon; // number in the control's strip, 1-based
};

// The icons of an entry row of the given height (in pixels at dpi), left to
// right. Numbers the control has no image for are skipped and take no place.
[[nodiscard]] std::vector<ServiceIconSlot> LayoutServiceIcons(int controlIconCount, const ItemRecord& item,
                                                              int rowHeight, int dpi);

// Where a row draws its item's name, relative to the row's top-left corner.
struct NamePlace {
    RECT rect;   // as DrawText gets it
    UINT format; // from the top of rect, or centred in it on one line
    [[nodiscard]] bool Centred() const noexcept { return (format & DT_VCENTER) != 0; }
};
[[nodiscard]] NamePlace PlaceName(const ListInstance& instance, bool group, int width, int height);

struct RowTarget {
    HDC dc;
    RECT rect;
    int item = 0; // the row's item when the caller knows it (WM_DRAWITEM does), else 0
};

// Paints a row into the target, or straight into the list window. A new
// hovered-icon position, when given, is kept in the instance. A row whose
// item data names no item is not painted.
void PaintRow(ListInstance& instance, int row, const RowTarget* target = nullptr,
              std::optional<int> hoveredIcon = std::nullopt);

// The process-wide pictures for entries with no avatar (not owned), drawn
// from their own size.
void SetDefaultAvatarPair(HBITMAP picture, HBITMAP grey);

// The font rows are drawn in at a scale; the list box gets one like it.
[[nodiscard]] base::UniqueFont CreateRowFont(int dpi);

} // namespace grouplist
