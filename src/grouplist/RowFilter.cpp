#include "grouplist/RowFilter.h"

#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/NameFolding.h"
#include "grouplist/RowModel.h"
#include "grouplist/RowPainter.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace grouplist {

namespace {

using Doc = ItemDocument;

struct PlannedRow {
    int handle;
    int height;
};

bool HasMatch(const ListInstance& instance, const ItemIndex::Group& group)
{
    for (const int entry : group.entries) {
        if (PassesFilter(instance, entry))
            return true;
    }
    return false;
}

std::vector<PlannedRow> PlanRows(const ListInstance& instance, size_t& textLength)
{
    std::vector<PlannedRow> rows;
    const bool filtering = IsFiltering(instance);
    const bool enlarged = EnlargesSelection(instance);
    for (const ItemIndex::Group& group : instance.index.Groups()) {
        if (filtering && !HasMatch(instance, group))
            continue;
        rows.push_back({group.handle, instance.GroupRowHeight()});
        textLength += group.name.size() + 1;
        if (!Doc::Flag(instance.document.Find(group.handle), Attr::Expanded))
            continue;
        for (const int entry : group.entries) {
            if (!PassesFilter(instance, entry))
                continue;
            const bool large = enlarged && entry == instance.selectedItem;
            rows.push_back({entry, instance.EntryRowHeight(large)});
            textLength += instance.index.NameOf(entry).size() + 1;
        }
    }
    return rows;
}

// The row of the best-ranked match, the first in list order among equals;
// -1 when no match has a row. The index holds groups and their entries in
// row order, so no row has to be read.
int BestMatchRow(const ListInstance& instance)
{
    int best = 0;
    std::optional<pinyin::MatchRank> bestRank;
    for (const ItemIndex::Group& group : instance.index.Groups()) {
        IXMLDOMElement* element = instance.document.Find(group.handle);
        if (!Doc::Flag(element, Attr::Expanded) || Doc::Int(element, Attr::RowIndex) < 0)
            continue;
        for (const int entry : group.entries) {
            const std::optional<pinyin::MatchRank> rank = FilterRank(instance, entry);
            if (rank && (!bestRank || *rank < *bestRank)) {
                best = entry;
                bestRank = rank;
                if (*rank == pinyin::MatchRank::NameStart)
                    return Doc::Int(instance.document.Find(best), Attr::RowIndex);
            }
        }
    }
    return best ? Doc::Int(instance.document.Find(best), Attr::RowIndex) : -1;
}

void SelectFollowedRow(ListInstance& instance, int row)
{
    if (row == instance.selectedRow)
        return;
    for (const int changed : MoveSelection(instance, row))
        PaintRow(instance, changed);
}

} // namespace

bool IsFiltering(const ListInstance& instance)
{
    return !instance.filter.text.empty();
}

void SetFilter(ListInstance& instance, std::wstring_view text)
{
    FilterState& filter = instance.filter;
    if (text == filter.text)
        return;
    const auto& groups = instance.index.Groups();
    if (text.empty()) {
        for (const ItemIndex::Group& group : groups) {
            if (const auto before = filter.expandedBefore.find(group.handle); before != filter.expandedBefore.end())
                Doc::Set(instance.document.Find(group.handle), Attr::Expanded, before->second ? 1 : 0);
        }
        const int top = filter.topItemBefore;
        filter = {};
        RebuildRows(instance, top);
        AnnounceSelection(instance);
        return;
    }
    if (!IsFiltering(instance)) {
        filter.expandedBefore.clear();
        for (const ItemIndex::Group& group : groups)
            filter.expandedBefore[group.handle] = Doc::Flag(instance.document.Find(group.handle), Attr::Expanded);
        const auto top = static_cast<int>(::SendMessageW(instance.list, LB_GETTOPINDEX, 0, 0));
        filter.topItemBefore = RowCount(instance.list) > 0 ? ItemAtRow(instance.list, top) : 0;
    }
    std::wstring folded = FoldForSearch(text);
    filter.text = text;
    filter.followFirstMatch = true;
    // "AB" after "ab" shows the same rows.
    if (folded != filter.folded) {
        filter.folded = std::move(folded);
        for (const ItemIndex::Group& group : groups)
            Doc::Set(instance.document.Find(group.handle), Attr::Expanded, 1);
        RebuildRows(instance, 0);
    }
    FollowBestMatch(instance);
}

void RebuildRows(ListInstance& instance, int topItem)
{
    // The rows as they are, so that items that keep their row are not written.
    const int oldCount = RowCount(instance.list);
    std::vector<int> oldItems;
    oldItems.reserve(static_cast<size_t>(oldCount > 0 ? oldCount : 0));
    for (int row = 0; row < oldCount; ++row)
        oldItems.push_back(ItemAtRow(instance.list, row));

    size_t textLength = 0;
    const std::vector<PlannedRow> rows = PlanRows(instance, textLength);
    // A keystroke that narrows the filter without losing a match changes nothing.
    if (std::equal(rows.begin(), rows.end(), oldItems.begin(), oldItems.end(),
                   [](const PlannedRow& planned, int item) { return planned.handle == item; })) {
        if (const auto top = std::find(oldItems.begin(), oldItems.end(), topItem); top != oldItems.end())
            ::SendMessageW(instance.list, LB_SETTOPINDEX, static_cast<WPARAM>(top - oldItems.begin()), 0);
        return;
    }
    std::unordered_map<int, int> oldRows;
    oldRows.reserve(oldItems.size());
    for (size_t row = 0; row < oldItems.size(); ++row)
        oldRows[oldItems[row]] = static_cast<int>(row);
    const RowBatch batch(instance);
    ::SendMessageW(instance.list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(instance.list, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(textLength * sizeof(wchar_t)));
    int topRow = 0;
    for (const PlannedRow& planned : rows) {
        const int row = AddRow(instance.list, -1, planned.handle, planned.height, instance.index.NameOf(planned.handle));
        if (row < 0)
            break;
        if (planned.handle == topItem)
            topRow = row;
        const auto old = oldRows.find(planned.handle);
        if (old == oldRows.end() || old->second != row)
            Doc::Set(instance.document.Find(planned.handle), Attr::RowIndex, row);
        if (old != oldRows.end())
            oldRows.erase(old);
    }
    for (const auto& [handle, row] : oldRows)
        Doc::Set(instance.document.Find(handle), Attr::RowIndex, -1);
    ::SendMessageW(instance.list, LB_SETTOPINDEX, static_cast<WPARAM>(topRow), 0);
    FollowMarkedItems(instance);
}

void SetAllGroupsExpanded(ListInstance& instance, bool expanded)
{
    const int rows = RowCount(instance.list);
    int top = rows > 0 ? ItemAtRow(instance.list, static_cast<int>(::SendMessageW(instance.list, LB_GETTOPINDEX, 0, 0)))
                       : 0;
    if (const ItemIndex::Entry* entry = instance.index.FindEntry(top); entry && !expanded)
        top = entry->group;
    bool changed = false;
    for (const ItemIndex::Group& group : instance.index.Groups()) {
        IXMLDOMElement* element = instance.document.Find(group.handle);
        changed = changed || Doc::Flag(element, Attr::Expanded) != expanded;
        Doc::Set(element, Attr::Expanded, expanded ? 1 : 0);
    }
    if (!changed)
        return;
    RebuildRows(instance, top);
    // The arrows turn even where no row came or went (an empty group).
    for (const ItemIndex::Group& group : instance.index.Groups())
        PaintRow(instance, Doc::Int(instance.document.Find(group.handle), Attr::RowIndex));
}

int ShowGroupRow(ListInstance& instance, int groupHandle)
{
    IXMLDOMElement* group = instance.document.Find(groupHandle);
    if (!group)
        return -1;
    if (const int row = Doc::Int(group, Attr::RowIndex); row >= 0)
        return row;
    // In front of the next group that has a row: groups keep the index's order.
    int at = -1;
    bool passed = false;
    for (const ItemIndex::Group& other : instance.index.Groups()) {
        if (passed) {
            if (const int row = Doc::Int(instance.document.Find(other.handle), Attr::RowIndex); row >= 0) {
                at = row;
                break;
            }
        }
        passed = passed || other.handle == groupHandle;
    }
    const int row =
        AddRow(instance.list, at, groupHandle, instance.GroupRowHeight(), instance.index.NameOf(groupHandle));
    if (row < 0)
        return -1;
    Doc::Set(group, Attr::RowIndex, row);
    if (at >= 0)
        RenumberRows(instance, row);
    return row;
}

void HideGroupWithoutMatch(ListInstance& instance, int groupHandle)
{
    const ItemIndex::Group* indexed = instance.index.FindGroup(groupHandle);
    if (!IsFiltering(instance) || !indexed || HasMatch(instance, *indexed))
        return;
    IXMLDOMElement* group = instance.document.Find(groupHandle);
    const int row = Doc::Int(group, Attr::RowIndex);
    if (row < 0)
        return;
    DeleteRow(instance.list, row);
    Doc::Set(group, Attr::RowIndex, -1);
    RenumberRows(instance, row - 1);
}

void FollowBestMatch(ListInstance& instance)
{
    if (instance.filter.followFirstMatch)
        SelectFollowedRow(instance, BestMatchRow(instance));
}

void FollowBestMatch(ListInstance& instance, int arrivedEntry)
{
    if (!instance.filter.followFirstMatch)
        return;
    const int row = Doc::Int(instance.document.Find(arrivedEntry), Attr::RowIndex);
    const std::optional<pinyin::MatchRank> rank = FilterRank(instance, arrivedEntry);
    if (row < 0 || !rank)
        return;
    // The selection holds the best match so far; only the arrival can beat it.
    if (instance.selectedRow >= 0 && instance.index.FindEntry(instance.selectedItem)) {
        const std::optional<pinyin::MatchRank> held = FilterRank(instance, instance.selectedItem);
        if (held && (*held < *rank || (*held == *rank && instance.selectedRow < row)))
            return;
    }
    SelectFollowedRow(instance, row);
}

} // namespace grouplist
