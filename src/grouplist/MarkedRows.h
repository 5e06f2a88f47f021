#pragma once
// The hover and selected rows. Each remembers its item too, so it can follow
// the item when rows above it change.

#include "grouplist/ListInstance.h"

#include <vector>

namespace grouplist {

// The hover and selected rows follow their items' rows; an item that lost
// its row (hidden or removed) is no longer hovered or selected.
void FollowMarkedItems(ListInstance& instance);
void SetHoverRow(ListInstance& instance, int row);
void SetSelectedRow(ListInstance& instance, int row);

// Whether the display mode shows the selected entry at the large height.
[[nodiscard]] bool EnlargesSelection(const ListInstance& instance);
// Moves the selection to a row (-1: none). The rows to repaint come back;
// an enlarged selection gives the old row back its height and has the whole
// list repainted instead.
[[nodiscard]] std::vector<int> MoveSelection(ListInstance& instance, int row);

} // namespace grouplist
