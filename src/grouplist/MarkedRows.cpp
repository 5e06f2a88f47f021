#include "grouplist/MarkedRows.h"

#include "grouplist/ListRows.h"
#include "grouplist/ListTooltip.h"
#include "grouplist/RenameEdit.h"

namespace grouplist {

void FollowMarkedItems(ListInstance& instance)
{
    if (instance.selectedRow >= 0)
        SetSelectedRow(instance, RowOfItem(instance, instance.selectedItem));
    if (instance.hoverRow >= 0) {
        const int row = RowOfItem(instance, instance.hoverItem);
        if (row < 0)
            instance.hoveredServiceIcon = 0;
        SetHoverRow(instance, row);
    }
    FollowRenamedItem(instance);
}

void SetHoverRow(ListInstance& instance, int row)
{
    instance.hoverRow = row;
    instance.hoverItem = row >= 0 ? ItemAtRow(instance.list, row) : 0;
    TooltipFollowHover(instance);
}

void SetSelectedRow(ListInstance& instance, int row)
{
    instance.selectedRow = row;
    instance.selectedItem = row >= 0 ? ItemAtRow(instance.list, row) : 0;
    if (::SendMessageW(instance.list, LB_GETCURSEL, 0, 0) != row)
        ::SendMessageW(instance.list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

bool EnlargesSelection(const ListInstance& instance)
{
    return instance.enlargeSelected && instance.displayMode != 0;
}

std::vector<int> MoveSelection(ListInstance& instance, int row)
{
    const int previous = instance.selectedRow;
    SetSelectedRow(instance, row);
    AnnounceSelection(instance);
    if (!EnlargesSelection(instance)) {
        FollowRenamedItem(instance); // the list box scrolls to its new selection
        return {previous, row};
    }
    if (IsEntryRow(instance, previous))
        SetRowHeight(instance.list, previous, instance.EntryRowHeight());
    if (IsEntryRow(instance, row)) {
        SetRowHeight(instance.list, row, instance.EntryRowHeight(true));
        // Grown, it may reach past the bottom.
        ::SendMessageW(instance.list, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    }
    // Rows below move and the blank area under the last one may grow.
    ::InvalidateRect(instance.list, nullptr, TRUE);
    FollowRenamedItem(instance);
    return {};
}

void AnnounceSelection(const ListInstance& instance)
{
    if (instance.selectedRow < 0)
        return;
    // Child ids count rows from 1; 0 is the list itself.
    const LONG child = instance.selectedRow + 1;
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, instance.list, OBJID_CLIENT, child);
    if (::GetFocus() == instance.list)
        ::NotifyWinEvent(EVENT_OBJECT_FOCUS, instance.list, OBJID_CLIENT, child);
}

} // namespace grouplist
