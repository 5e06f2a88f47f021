#pragma once
// The filter: while it is set, only entries whose names hold its text have
// rows, each under its group; a group without such an entry has none. The
// rows are made afresh from the item index for each change of the filter,
// in one batch, rather than taken away and put back one by one.

#include "grouplist/ListInstance.h"

#include <string_view>

namespace grouplist {

[[nodiscard]] bool IsFiltering(const ListInstance& instance);
// Empty text ends the filter and gives every group back its state from
// before it began.
void SetFilter(ListInstance& instance, std::wstring_view text);
// Every row made again as the index, the groups' states and the filter say,
// and the list scrolled to the row of topItem (when it has one). Only items
// whose rows changed have 项目索引 written.
void RebuildRows(ListInstance& instance, int topItem);
// A group the filter hid, given its row in its place for a match that came;
// its row, or -1.
int ShowGroupRow(ListInstance& instance, int groupHandle);
// While filtering, takes the row of a group none of whose entries match.
void HideGroupWithoutMatch(ListInstance& instance, int groupHandle);
// Selects the first entry row, while the selection follows the first match.
void FollowFirstMatch(ListInstance& instance);

} // namespace grouplist
