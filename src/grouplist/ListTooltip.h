#pragma once
// The tooltip that shows an entry's program path while the pointer rests on
// its row. It is made on the first hover of such a row; its one tool is the
// hover row's rectangle, set as the hover row changes, so a mouse move costs
// a single relayed message and only while there is a path to show.

#include "grouplist/ListInstance.h"

namespace grouplist {

// The tool follows the hover row: its entry's path, or nothing for groups,
// entries without a path, no hover row or while suspended.
void TooltipFollowHover(ListInstance& instance);
// Hands a mouse message to the tooltip, for its delays.
void RelayToTooltip(const ListInstance& instance, UINT message, WPARAM wParam, LPARAM lParam);
// A press, a scroll or a key: the tooltip goes, and comes back only once the
// pointer has left the row.
void QuietTooltip(ListInstance& instance);
void SuspendTooltip(ListInstance& instance, bool suspend);
// The control's scale changed: the tooltip's width with it.
void ScaleTooltip(const ListInstance& instance);
void DestroyTooltip(ListInstance& instance) noexcept;

} // namespace grouplist
