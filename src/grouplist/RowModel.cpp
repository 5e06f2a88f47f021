#include "grouplist/RowModel.h"

#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

bool IsKeyboardStop(const ListInstance& instance, int row)
{
    const int handle = ItemAtRow(instance.list, row);
    if (instance.index.FindEntry(handle))
        return true;
    return instance.index.FindGroup(handle) && !IsRowOfGroupEntry(instance, row + 1, handle);
}

} // namespace

void RenumberRows(ListInstance& instance, int row)
{
    const int count = RowCount(instance.list);
    for (int r = row + 1; r < count; ++r) {
        if (IXMLDOMElement* element = instance.document.Find(ItemAtRow(instance.list, r)))
            Doc::Set(element, Attr::RowIndex, r);
    }
    FollowMarkedItems(instance);
}

void ExpandRows(ListInstance& instance, int groupHandle)
{
    IXMLDOMElement* group = instance.document.Find(groupHandle);
    const ItemIndex::Group* indexed = instance.index.FindGroup(groupHandle);
    if (!group || !indexed)
        return;
    Doc::Set(group, Attr::Expanded, 1);
    int current = Doc::Int(group, Attr::RowIndex);
    if (current < 0)
        return;
    const RowBatch batch(instance);
    for (const int handle : indexed->entries) {
        if (!PassesFilter(instance, handle))
            continue;
        const bool enlarged = EnlargesSelection(instance) && handle == instance.selectedItem;
        const int row = AddRow(instance.list, current + 1, handle, instance.EntryRowHeight(enlarged),
                               instance.index.NameOf(handle));
        if (row < 0)
            break;
        Doc::Set(instance.document.Find(handle), Attr::RowIndex, row);
        current = row;
    }
    RenumberRows(instance, current);
}

void CollapseRows(ListInstance& instance, int groupHandle)
{
    IXMLDOMElement* group = instance.document.Find(groupHandle);
    if (!group)
        return;
    const int groupRow = Doc::Int(group, Attr::RowIndex);
    Doc::Set(group, Attr::Expanded, 0);
    if (groupRow < 0)
        return;
    const RowBatch batch(instance);
    // The group's rows are the ones right under it; last to first, so the
    // rows still to be taken keep their indices.
    int last = groupRow;
    while (IsRowOfGroupEntry(instance, last + 1, groupHandle))
        ++last;
    for (int row = last; row > groupRow; --row) {
        IXMLDOMElement* entry = instance.document.Find(ItemAtRow(instance.list, row));
        DeleteRow(instance.list, row);
        Doc::Set(entry, Attr::RowIndex, -1);
    }
    RenumberRows(instance, groupRow);
}

bool PassesFilter(const ListInstance& instance, int entry)
{
    return FilterRank(instance, entry).has_value();
}

std::optional<pinyin::MatchRank> FilterRank(const ListInstance& instance, int entry)
{
    if (instance.filter.text.empty())
        return pinyin::MatchRank::NameStart;
    const ItemIndex::Entry* indexed = instance.index.FindEntry(entry);
    if (!indexed)
        return std::nullopt;
    return pinyin::MatchName(indexed->folded, instance.filter.folded);
}

bool IsRowOfGroupEntry(const ListInstance& instance, int row, int groupHandle)
{
    if (row < 0 || row >= RowCount(instance.list))
        return false;
    const ItemIndex::Entry* entry = instance.index.FindEntry(ItemAtRow(instance.list, row));
    return entry && entry->group == groupHandle;
}

int GroupOfRow(const ListInstance& instance, int row)
{
    if (row < 0)
        return 0;
    const int handle = ItemAtRow(instance.list, row);
    if (const ItemIndex::Entry* entry = instance.index.FindEntry(handle))
        return entry->group;
    return instance.index.FindGroup(handle) ? handle : 0;
}

int NextKeyboardStop(const ListInstance& instance, int from, int step)
{
    const int count = RowCount(instance.list);
    int row = from >= 0 ? from + step : (step > 0 ? 0 : count - 1);
    for (; row >= 0 && row < count; row += step) {
        if (IsKeyboardStop(instance, row))
            return row;
    }
    return -1;
}

} // namespace grouplist
