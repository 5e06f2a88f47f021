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
// The list box's own selection follows, for accessibility tools read it
// (with the row's text) to say what is selected.
void SetSelectedRow(ListInstance& instance, int row);

// Whether the display mode shows the selected entry at the large height.
[[nodiscard]] bool EnlargesSelection(const ListInstance& instance);
// Moves the selection to a row (-1: none), scrolled into sight, and tells
// accessibility tools. The rows to repaint come back; an enlarged selection
// gives the old row back its height and has the whole list repainted instead.
[[nodiscard]] std::vector<int> MoveSelection(ListInstance& instance, int row);
// Says which row is selected (and focused, with the keyboard in the list)
// to accessibility tools, as the list box would for its own selection.
void AnnounceSelection(const ListInstance& instance);

} // namespace grouplist
