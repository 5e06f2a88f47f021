#pragma once
// Rows and document in step: every shown item's 项目索引 is its row, and
// hidden entries read -1.

#include "grouplist/ListInstance.h"

namespace grouplist {

// Sets 项目索引 of every row after the given one (-1: all rows), then puts
// the hover and selected rows back on their items.
void RenumberRows(ListInstance& instance, int row);
void ExpandRows(ListInstance& instance, int groupHandle);
void CollapseRows(ListInstance& instance, int groupHandle);

} // namespace grouplist
