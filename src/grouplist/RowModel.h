#pragma once
// Rows and document in step: every shown item's 项目索引 is its row, and
// hidden items read -1.

#include "grouplist/ListInstance.h"
#include "pinyin/PinyinMatch.h"

#include <optional>

namespace grouplist {

// Sets 项目索引 of every row after the given one (-1: all rows), then puts
// the hover and selected rows back on their items.
void RenumberRows(ListInstance& instance, int row);
// A group's entries get rows under it (only those the filter lets through)
// or lose them. A group without a row only changes its state.
void ExpandRows(ListInstance& instance, int groupHandle);
void CollapseRows(ListInstance& instance, int groupHandle);

// Whether the filter, if any, lets an entry have a row: its name holds the
// filter's text, spelled as typed or in pinyin.
[[nodiscard]] bool PassesFilter(const ListInstance& instance, int entry);
// Where the filter matches the entry's name best; empty when it does not.
// Without a filter every entry matches from its start.
[[nodiscard]] std::optional<pinyin::MatchRank> FilterRank(const ListInstance& instance, int entry);
// Whether the row holds an entry of the group.
[[nodiscard]] bool IsRowOfGroupEntry(const ListInstance& instance, int row, int groupHandle);
// The group of the row's item (a group is its own); 0 for none.
[[nodiscard]] int GroupOfRow(const ListInstance& instance, int row);

// Where the keyboard stops: entry rows, and group rows with nothing shown
// under them, which the keyboard can open. The next stop from a row in a
// direction (1 down, -1 up); from -1, the first stop from the end that way
// starts at. -1 when there is none.
[[nodiscard]] int NextKeyboardStop(const ListInstance& instance, int from, int step);

} // namespace grouplist
