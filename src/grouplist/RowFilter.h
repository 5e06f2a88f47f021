#pragma once
// The filter: while it is set, only entries whose names hold its text (as
// typed or in pinyin: "wx" finds 微信) have rows, each under its group; a
// group without such an entry has none. The rows are made afresh from the
// item index for each change of the filter, in one batch, rather than taken
// away and put back one by one.

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

// Every group expanded, or collapsed, its rows rebuilt in one go rather
// than group by group; the top row stays on its item, or on the group of
// an entry that loses its row.
void SetAllGroupsExpanded(ListInstance& instance, bool expanded);
// A group the filter hid, given its row in its place for a match that came;
// its row, or -1.
int ShowGroupRow(ListInstance& instance, int groupHandle);
// While filtering, takes the row of a group none of whose entries match.
void HideGroupWithoutMatch(ListInstance& instance, int groupHandle);
// While the selection follows the best match: selects the row of the entry
// whose name the filter matches best (at its start, then at a word's, then
// anywhere; the first in list order among equals).
void FollowBestMatch(ListInstance& instance);
// The same when one entry has just got its row: it takes the selection only
// from a worse match, or from an equal one below it.
void FollowBestMatch(ListInstance& instance, int arrivedEntry);

} // namespace grouplist
