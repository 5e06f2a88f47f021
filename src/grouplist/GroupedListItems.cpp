// The item operations of GroupedListControl: adding, finding, reading,
// changing, sorting and removing groups and entries, each keeping the list
// rows in step with the document.

#include "grouplist/GroupedListControl.h"

#include "grouplist/EntryAnimations.h"
#include "grouplist/EntryBitmaps.h"
#include "grouplist/ItemRecords.h"
#include "grouplist/ListRows.h"
#include "grouplist/MarkedRows.h"
#include "grouplist/RenameEdit.h"
#include "grouplist/RowFilter.h"
#include "grouplist/RowModel.h"
#include "grouplist/RowPainter.h"
#include "image/PictureHelpers.h"

#include <algorithm>

namespace grouplist {

namespace {

using Doc = ItemDocument;

// Removes a group's entries (their rows, elements and bitmaps) and leaves the
// renumbering to the caller. False when the handle names no group.
bool RemoveGroupEntries(ListInstance& instance, int groupHandle)
{
    if (!IsGroup(instance.document, groupHandle))
        return false;
    IXMLDOMElement* group = instance.document.Find(groupHandle);
    const RowBatch batch(instance);
    const std::vector<Element> entries = Doc::Children(group);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const int handle = Doc::Int(it->get(), Attr::Handle);
        if (!instance.document.Remove(group, handle))
            continue; // kept whole: row, element and bitmaps
        DeleteRow(instance.list, Doc::Int(it->get(), Attr::RowIndex));
        instance.index.RemoveEntry(handle);
        ForgetEntryAnimations(instance, handle);
        DeleteEntryBitmaps(it->get());
    }
    return true;
}

// What an entry's description and its record both hold, copied either way;
// the group it is in is not changed here.
template <typename From, typename To>
void CopyEntryFields(const From& from, To& to)
{
    to.name = from.name;
    to.number = from.number;
    to.nameColor = from.nameColor;
    to.online = from.online;
    to.value = from.value;
    to.remark = from.remark;
    to.signature = from.signature;
}

// A group's entries gone, its rows numbered again, and under a filter that
// nothing in it matches now, its own row gone too.
bool EmptyGroup(ListInstance& instance, int groupHandle)
{
    if (!RemoveGroupEntries(instance, groupHandle))
        return false;
    RenumberRows(instance, Doc::Int(instance.document.Find(groupHandle), Attr::RowIndex));
    HideGroupWithoutMatch(instance, groupHandle);
    return true;
}

// Online entries first, each side in its old order; the rows keep their
// places and take the entries in the new order. The elements themselves move,
// so nothing else the document holds about an entry is lost or reordered.
void SortGroupEntries(ListInstance& instance, IXMLDOMElement* group)
{
    const std::vector<Element> old = Doc::Children(group);
    std::vector<ItemRecord> records(old.size());
    // The rows the group's entries have, top to bottom; entries the filter
    // hides have none and keep none.
    std::vector<int> rows;
    for (size_t k = 0; k < old.size(); ++k) {
        if (!ReadItem(instance, Doc::Int(old[k].get(), Attr::Handle), records[k]))
            return;
        if (records[k].rowIndex >= 0)
            rows.push_back(records[k].rowIndex);
    }
    std::stable_partition(records.begin(), records.end(), [](const ItemRecord& record) { return record.online; });
    // Every entry is written afresh with all its attributes; the new elements
    // are made before the old ones go, so a failure leaves the group as it was.
    std::vector<Element> fresh;
    size_t nextRow = 0;
    for (ItemRecord& record : records) {
        Element element = instance.document.CreateElement(record.handle);
        if (!element)
            return;
        if (record.rowIndex >= 0)
            record.rowIndex = rows[nextRow++];
        WriteAllAttributes(element.get(), record);
        fresh.push_back(std::move(element));
    }
    for (const Element& entry : old)
        Doc::Detach(group, entry.get());
    std::vector<int> order;
    for (size_t k = 0; k < fresh.size(); ++k) {
        Doc::Append(group, fresh[k].get());
        instance.document.Adopt(records[k].handle, std::move(fresh[k]));
        order.push_back(records[k].handle);
    }
    instance.index.ReorderEntries(Doc::Int(group, Attr::Handle), order);
    for (const ItemRecord& record : records) {
        if (record.rowIndex < 0)
            continue;
        // The row's text goes with its item.
        SetRowText(instance.list, record.rowIndex, instance.index.NameOf(record.handle));
        ::SendMessageW(instance.list, LB_SETITEMDATA, static_cast<WPARAM>(record.rowIndex), record.handle);
        PaintRow(instance, record.rowIndex);
    }
}

} // namespace

int GroupedListControl::AddGroupElement(ListInstance& instance, int beforeHandle, std::wstring_view name,
                                        bool expanded, COLORREF nameColor, int value, std::wstring_view remark)
{
    if (!instance.document)
        return 0;
    const int handle = NewHandle();
    IXMLDOMElement* element = instance.document.NewElement(handle);
    if (!element)
        return 0;
    if (IsFiltering(instance)) {
        // Its state waits for the filter to end; meanwhile a match shows it
        // expanded, as the filter shows every group.
        instance.filter.expandedBefore[handle] = expanded;
        expanded = true;
    }
    Doc::Set(element, Attr::Kind, kKindGroup);
    Doc::Set(element, Attr::GroupName, name);
    Doc::Set(element, Attr::Handle, handle);
    Doc::Set(element, Attr::NameColor, static_cast<int>(nameColor));
    Doc::Set(element, Attr::Expanded, expanded ? 1 : 0);
    Doc::Set(element, Attr::Value, value);
    Doc::Set(element, Attr::Remark, remark);
    if (!Doc::Append(instance.document.Root(), element)) {
        (void)instance.document.Remove(nullptr, handle);
        instance.filter.expandedBefore.erase(handle);
        return 0;
    }
    instance.index.AddGroup(handle, name, beforeHandle);
    ++instance.elementCounter;
    return handle;
}

int GroupedListControl::AddGroup(std::wstring_view name, bool expanded, COLORREF nameColor, int value,
                                 std::wstring_view remark)
{
    ListInstance* instance = Instance();
    if (!instance)
        return 0;
    const int handle = AddGroupElement(*instance, 0, name, expanded, nameColor, value, remark);
    if (handle == 0)
        return 0;
    // While filtering an empty group has nothing to show.
    const int row = IsFiltering(*instance)
                        ? -1
                        : AddRow(instance->list, -1, handle, instance->GroupRowHeight(), std::wstring(name));
    Doc::Set(instance->document.Find(handle), Attr::RowIndex, row);
    return handle;
}

int GroupedListControl::InsertGroup(int beforeHandle, std::wstring_view name, bool expanded, COLORREF nameColor,
                                    int value, std::wstring_view remark)
{
    ListInstance* instance = Instance();
    // Only before a group: a group among another group's entries would split them.
    if (!instance || !IsGroup(instance->document, beforeHandle))
        return 0;
    const int row = Doc::Int(instance->document.Find(beforeHandle), Attr::RowIndex);
    const bool filtering = IsFiltering(*instance);
    if (row == -1 && !filtering)
        return 0;
    const int handle = AddGroupElement(*instance, beforeHandle, name, expanded, nameColor, value, remark);
    if (handle == 0)
        return 0;
    if (filtering) {
        Doc::Set(instance->document.Find(handle), Attr::RowIndex, -1);
        return handle;
    }
    const int added = AddRow(instance->list, row, handle, instance->GroupRowHeight(), std::wstring(name));
    Doc::Set(instance->document.Find(handle), Attr::RowIndex, added);
    RenumberRows(*instance, added);
    return handle;
}

int GroupedListControl::AddEntry(EntryInfo& info, const std::vector<int>* icons)
{
    if (info.groupHandle == 0 || info.groupHandle == -1)
        return 0;
    ListInstance* instance = Instance();
    if (!instance || !IsGroup(instance->document, info.groupHandle))
        return 0;
    IXMLDOMElement* group = instance->document.Find(info.groupHandle);

    ItemRecord record;
    record.kind = kKindEntry;
    record.groupHandle = info.groupHandle;
    CopyEntryFields(info, record);
    if (icons) {
        record.serviceIcons = *icons;
        record.serviceIconCount = static_cast<int>(icons->size());
    }

    // The caller's bitmap stays the caller's until the entry is in the
    // document, so a refusal (or an exception) on the way leaves it alone.
    HBITMAP avatar = info.avatarPicture;
    base::UniqueBitmap decoded;
    SIZE size{kDefaultAvatarSize, kDefaultAvatarSize};
    if (avatar) {
        // A bitmap handed in is drawn from its real size.
        BITMAP bm{};
        if (::GetObjectW(avatar, sizeof bm, &bm) == sizeof bm)
            size = {bm.bmWidth, bm.bmHeight};
    } else if (!info.avatarImage.empty()) {
        SIZE decodedSize{};
        decoded = image::BitmapFromBytes(info.avatarImage, decodedSize);
        if (decoded) {
            avatar = decoded.get();
            size = decodedSize;
        }
    }
    base::UniqueBitmap grey;
    if (!record.online && avatar)
        grey = image::GreyCopy(avatar);
    record.avatarPicture = avatar;
    record.greyPicture = grey.get();
    record.avatarWidth = size.cx;
    record.avatarHeight = size.cy;

    const int handle = NewHandle();
    IXMLDOMElement* element = instance->document.NewElement(handle);
    if (!element)
        return 0;
    record.handle = handle;
    record.rowIndex = -1;
    WriteAllAttributes(element, record, false);
    if (!Doc::Append(group, element)) {
        (void)instance->document.Remove(nullptr, handle);
        return 0;
    }
    // The document names the bitmaps now, and the control owns them.
    (void)decoded.release();
    (void)grey.release();
    // A record used again for the next entry must not name this bitmap too.
    info.avatarPicture = nullptr;
    info.handle = handle;
    ++instance->elementCounter;
    instance->index.AddEntry(info.groupHandle, handle, record.name);

    if (!PassesFilter(*instance, handle))
        return 1;
    const int groupRow = IsFiltering(*instance) ? ShowGroupRow(*instance, info.groupHandle)
                                                : Doc::Int(group, Attr::RowIndex);
    if (groupRow >= 0 && Doc::Flag(group, Attr::Expanded)) {
        // Under the group's entries that have rows.
        int at = groupRow + 1;
        while (IsRowOfGroupEntry(*instance, at, info.groupHandle))
            ++at;
        if (at >= RowCount(instance->list))
            at = -1; // append
        const int row = AddRow(instance->list, at, handle, instance->EntryRowHeight(), record.name);
        Doc::Set(element, Attr::RowIndex, row);
        if (at >= 0)
            RenumberRows(*instance, row);
        FollowBestMatch(*instance, handle);
    }
    return 1;
}

int GroupedListControl::SetEntryPicture(int handle, HBITMAP picture)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
    if (!instance || !grouplist::ReadItem(*instance, handle, item, &element) || item.IsGroup())
        return 0;
    SIZE size{kDefaultAvatarSize, kDefaultAvatarSize};
    BITMAP bm{};
    if (picture && ::GetObjectW(picture, sizeof bm, &bm) == sizeof bm)
        size = {bm.bmWidth, bm.bmHeight};
    // The grey twin is made from the new picture, before the old ones go, so
    // a failure leaves the entry as it was.
    base::UniqueBitmap grey;
    if (!item.online && picture) {
        grey = image::GreyCopy(picture);
        if (!grey)
            return 0;
    }
    // Shared before the old ones go: the same picture handed in again stays alive.
    grouplist::SharePicture(picture);
    grouplist::ReleasePicture(item.avatarPicture);
    grouplist::ReleasePicture(item.greyPicture);
    Doc::Set(element, Attr::Avatar, BitmapToInt(picture));
    Doc::Set(element, Attr::GreyAvatar, BitmapToInt(grey.release()));
    Doc::Set(element, Attr::AvatarWidth, static_cast<int>(size.cx));
    Doc::Set(element, Attr::AvatarHeight, static_cast<int>(size.cy));
    if (item.rowIndex != -1)
        PaintRow(*instance, item.rowIndex);
    return 1;
}

int GroupedListControl::SetGroupExpanded(int handle, bool expand)
{
    ListInstance* instance = Instance();
    if (!instance || !IsGroup(instance->document, handle))
        return 0;
    IXMLDOMElement* group = instance->document.Find(handle);
    // Anything but 1 reads as collapsed, so such a group has nothing to take away.
    if (Doc::Flag(group, Attr::Expanded) == expand)
        return 1;
    if (expand)
        ExpandRows(*instance, handle);
    else
        CollapseRows(*instance, handle);
    PaintRow(*instance, Doc::Int(group, Attr::RowIndex));
    return 1;
}

int GroupedListControl::ExpandGroup(int handle)
{
    return SetGroupExpanded(handle, true);
}

int GroupedListControl::CollapseGroup(int handle)
{
    return SetGroupExpanded(handle, false);
}

void GroupedListControl::ExpandAllGroups()
{
    if (ListInstance* instance = Instance())
        SetAllGroupsExpanded(*instance, true);
}

void GroupedListControl::CollapseAllGroups()
{
    if (ListInstance* instance = Instance())
        SetAllGroupsExpanded(*instance, false);
}

int GroupedListControl::DeleteEntry(int handle)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
    // Groups go through DeleteGroup, which also takes their entries.
    if (!instance || !grouplist::ReadItem(*instance, handle, item, &element) || item.IsGroup())
        return 0;
    base::ComPtr<IXMLDOMNode> parent;
    element->get_parentNode(parent.put());
    element->AddRef(); // held past the map's reference, for its bitmaps
    const Element removed = Element::Attach(element);
    if (!parent || !instance->document.Remove(parent.query<IXMLDOMElement>(IID_IXMLDOMElement).get(), handle))
        return 0;
    instance->index.RemoveEntry(handle);
    ForgetEntryAnimations(*instance, handle);
    DeleteEntryBitmaps(removed.get());
    if (item.rowIndex > -1) {
        DeleteRow(instance->list, item.rowIndex);
        RenumberRows(*instance, item.rowIndex - 1);
    }
    HideGroupWithoutMatch(*instance, item.groupHandle);
    return 1;
}

int GroupedListControl::ClearGroupEntries(std::optional<int> handle)
{
    ListInstance* instance = Instance();
    if (!instance || !instance->document)
        return 0;
    if (handle)
        return EmptyGroup(*instance, *handle) ? 1 : 0;
    const RowBatch batch(*instance);
    const std::vector<Element> groups = Doc::Children(instance->document.Root());
    // Inserted groups put rows out of document order: each group's rows are
    // renumbered before the next group reads its own.
    for (auto it = groups.rbegin(); it != groups.rend(); ++it)
        (void)EmptyGroup(*instance, Doc::Int(it->get(), Attr::Handle));
    return 1;
}

int GroupedListControl::DeleteGroup(std::optional<int> handle)
{
    ListInstance* instance = Instance();
    if (!instance || !instance->document)
        return 0;
    if (handle) {
        // Should the group itself then stay, its entries are gone all the same.
        if (!EmptyGroup(*instance, *handle))
            return 0;
        // Read after emptying: a filter may have taken the empty group's row.
        const int row = Doc::Int(instance->document.Find(*handle), Attr::RowIndex);
        if (!instance->document.Remove(instance->document.Root(), *handle))
            return 0;
        instance->index.RemoveGroup(*handle);
        instance->filter.expandedBefore.erase(*handle);
        DeleteRow(instance->list, row);
        RenumberRows(*instance, row < 0 ? -1 : row - 1);
        return 1;
    }
    // Everything goes, so the rows go in one reset rather than one by one by
    // indices that an inserted group may have put out of document order.
    ForgetAllEntryAnimations(*instance);
    DeleteAllEntryBitmaps(instance->document);
    instance->document.RemoveAll();
    instance->index.Clear();
    // A filter outlives the items: whatever comes next is filtered too, and
    // its first match is selected as it comes.
    instance->filter.expandedBefore.clear();
    instance->filter.topItemBefore = 0;
    instance->filter.followFirstMatch = IsFiltering(*instance);
    ::SendMessageW(instance->list, LB_RESETCONTENT, 0, 0);
    FollowMarkedItems(*instance);
    return 1;
}

int GroupedListControl::GetEntryInfo(int handle, EntryInfo& info, std::vector<int>* icons, bool withImage)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    if (handle < 1 || !instance || !grouplist::ReadItem(*instance, handle, item))
        return 0;
    info.handle = item.handle;
    info.groupHandle = item.groupHandle;
    CopyEntryFields(item, info);
    info.avatarPicture = item.avatarPicture;
    if (icons) {
        if (item.serviceIconCount == 0)
            icons->clear();
        else
            *icons = item.serviceIcons;
    }
    if (withImage)
        info.avatarImage = item.avatarPicture ? image::BitmapToBmpBytes(item.avatarPicture) : std::vector<std::uint8_t>{};
    return 1;
}

int GroupedListControl::GetSelectedEntry(EntryInfo& info, std::vector<int>* icons)
{
    ListInstance* instance = Instance();
    if (!instance || instance->selectedRow < 0)
        return 0;
    const int handle = ItemAtRow(instance->list, instance->selectedRow);
    return handle > 0 ? GetEntryInfo(handle, info, icons, false) : 0;
}

void GroupedListControl::UpdateEntry(const EntryInfo& info)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
    if (!instance || !grouplist::ReadItem(*instance, info.handle, item, &element) || item.IsGroup())
        return;
    // Switching the state by hand ends a blink on the state asked for.
    if (item.online != info.online)
        (void)EndBlink(*instance, info.handle);
    const bool renamed = item.name != info.name;
    CopyEntryFields(info, item);
    // An entry going offline needs its grey avatar, or its frame would show empty.
    if (!item.online && item.avatarPicture && !item.greyPicture)
        item.greyPicture = image::GreyCopy(item.avatarPicture).release();
    WriteAllAttributes(element, item);
    if (renamed) {
        instance->index.Rename(info.handle, info.name);
        const bool shown = item.rowIndex != -1;
        // A new name may take an entry into the filter or out of it.
        if (IsFiltering(*instance) && shown != PassesFilter(*instance, info.handle)) {
            const auto top = static_cast<int>(::SendMessageW(instance->list, LB_GETTOPINDEX, 0, 0));
            RebuildRows(*instance, ItemAtRow(instance->list, top));
            return;
        }
        if (shown)
            SetRowText(instance->list, item.rowIndex, instance->index.NameOf(info.handle));
    }
    if (item.rowIndex != -1)
        ::SendMessageW(instance->list, WM_LIST_PAINTROW, static_cast<WPARAM>(item.rowIndex), 0);
}

int GroupedListControl::FindEntryByNumber(std::wstring_view text)
{
    return FindEntryByAttribute(AttrName(Attr::Number), text);
}

int GroupedListControl::FindEntryByName(std::wstring_view text)
{
    return FindEntryByAttribute(AttrName(Attr::EntryName), text);
}

int GroupedListControl::FindEntryByRemark(std::wstring_view text)
{
    return FindEntryByAttribute(AttrName(Attr::Remark), text);
}

int GroupedListControl::FindEntryByAttribute(const std::wstring& attribute, std::wstring_view text)
{
    const ListInstance* instance = Instance();
    return instance ? instance->document.FindEntry(attribute, text) : 0;
}

int GroupedListControl::FindGroupByName(std::wstring_view text)
{
    ListInstance* instance = Instance();
    if (!instance)
        return 0;
    for (const Element& group : Doc::Children(instance->document.Root())) {
        if (Doc::Text(group.get(), Attr::GroupName) == text)
            return Doc::Int(group.get(), Attr::Handle);
    }
    return 0;
}

std::wstring GroupedListControl::GetGroupName(int handle)
{
    const ListInstance* instance = Instance();
    return instance ? Doc::Text(instance->document.Find(handle), Attr::GroupName) : std::wstring();
}

int GroupedListControl::GetGroupValue(int handle)
{
    const ListInstance* instance = Instance();
    return instance ? Doc::Int(instance->document.Find(handle), Attr::Value) : 0;
}

int GroupedListControl::GetEntryValue(int handle)
{
    return GetGroupValue(handle);
}

void GroupedListControl::SetGroupValue(int handle, int value)
{
    if (const ListInstance* instance = Instance())
        Doc::Set(instance->document.Find(handle), Attr::Value, value);
}

void GroupedListControl::SetEntryValue(int handle, int value)
{
    SetGroupValue(handle, value);
}

std::wstring GroupedListControl::GetGroupRemark(int handle)
{
    const ListInstance* instance = Instance();
    return instance ? Doc::Text(instance->document.Find(handle), Attr::Remark) : std::wstring();
}

std::wstring GroupedListControl::GetEntryRemark(int handle)
{
    return GetGroupRemark(handle);
}

void GroupedListControl::SetGroupName(int handle, std::wstring_view name, std::optional<COLORREF> nameColor)
{
    ListInstance* instance = Instance();
    IXMLDOMElement* element = instance ? instance->document.Find(handle) : nullptr;
    if (!element)
        return;
    Doc::Set(element, Attr::GroupName, name);
    if (nameColor)
        Doc::Set(element, Attr::NameColor, static_cast<int>(*nameColor));
    instance->index.Rename(handle, name);
    const int row = Doc::Int(element, Attr::RowIndex);
    SetRowText(instance->list, row, instance->index.NameOf(handle));
    ::SendMessageW(instance->list, WM_LIST_PAINTROW, static_cast<WPARAM>(row), 0);
}

void GroupedListControl::SetNameColor(int handle, COLORREF nameColor)
{
    const ListInstance* instance = Instance();
    IXMLDOMElement* element = instance ? instance->document.Find(handle) : nullptr;
    if (!element)
        return;
    Doc::Set(element, Attr::NameColor, static_cast<int>(nameColor));
    ::SendMessageW(instance->list, WM_LIST_PAINTROW, static_cast<WPARAM>(Doc::Int(element, Attr::RowIndex)), 0);
}

bool GroupedListControl::SaveToFile(const std::wstring& path)
{
    const ListInstance* instance = Instance();
    return instance && instance->document.Save(path);
}

void GroupedListControl::SortAllGroups()
{
    ListInstance* instance = Instance();
    if (!instance)
        return;
    const RowBatch batch(*instance);
    for (const Element& group : Doc::Children(instance->document.Root()))
        SortGroupEntries(*instance, group.get());
    // Rows keep their places, so the marks stay on their rows and name
    // whichever entries the rows now hold. A rename goes with its entry.
    SetSelectedRow(*instance, instance->selectedRow);
    SetHoverRow(*instance, instance->hoverRow);
    FollowRenamedItem(*instance);
}

int GroupedListControl::SetEntryMissing(int handle, bool missing)
{
    ListInstance* instance = Instance();
    IXMLDOMElement* element = instance && handle > 0 ? instance->document.Find(handle) : nullptr;
    const ItemIndex::Entry* indexed = instance ? instance->index.FindEntry(handle) : nullptr;
    if (!element || !indexed)
        return 0;
    if (indexed->missing == missing)
        return 1;
    Doc::Set(element, Attr::Missing, missing ? 1 : 0);
    (void)instance->index.SetMissing(handle, missing);
    const int row = RowOfItem(*instance, handle);
    if (row < 0)
        return 1;
    // Screen readers read the row's text. Putting the row back makes the list
    // box repaint everything below it; only this row changed.
    if (instance->redrawPauses > 0) {
        SetRowText(instance->list, row, instance->index.NameOf(handle));
        return 1;
    }
    base::UniqueRegion pending(::CreateRectRgn(0, 0, 0, 0));
    const bool keepPending = pending && ::GetUpdateRgn(instance->list, pending.get(), FALSE) != ERROR;
    const LRESULT top = ::SendMessageW(instance->list, LB_GETTOPINDEX, 0, 0);
    SetRowText(instance->list, row, instance->index.NameOf(handle));
    // Unless the list scrolled meanwhile (a row gone for a moment at its end).
    if (keepPending && ::SendMessageW(instance->list, LB_GETTOPINDEX, 0, 0) == top) {
        ::ValidateRect(instance->list, nullptr);
        ::InvalidateRgn(instance->list, pending.get(), FALSE);
    }
    PaintRow(*instance, row);
    return 1;
}

bool GroupedListControl::IsEntryMissing(int handle) const
{
    const ListInstance* instance = Instance();
    const ItemIndex::Entry* indexed = instance ? instance->index.FindEntry(handle) : nullptr;
    return indexed && indexed->missing;
}

} // namespace grouplist
