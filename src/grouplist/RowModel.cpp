#include "grouplist/RowModel.h"

#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

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
    if (!group)
        return;
    int current = Doc::Int(group, Attr::RowIndex);
    Doc::Set(group, Attr::Expanded, 1);
    const RowBatch batch(instance);
    for (const Element& entry : Doc::Children(group)) {
        const int handle = Doc::Int(entry.get(), Attr::Handle);
        const bool enlarged = EnlargesSelection(instance) && handle == instance.selectedItem;
        const int row = AddRow(instance.list, current + 1, handle, enlarged ? kLargeRowHeight : instance.entryRowHeight);
        if (row < 0)
            break;
        Doc::Set(entry.get(), Attr::RowIndex, row);
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
    const RowBatch batch(instance);
    const std::vector<Element> entries = Doc::Children(group);
    // Last to first, so the rows still to be read keep their indices.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        DeleteRow(instance.list, Doc::Int(it->get(), Attr::RowIndex));
        Doc::Set(it->get(), Attr::RowIndex, -1);
    }
    RenumberRows(instance, groupRow);
}

} // namespace grouplist
