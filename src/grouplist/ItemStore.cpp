#include "grouplist/ItemStore.h"

#include "grouplist/ItemText.h"
#include "grouplist/RowPainter.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

// The attributes only entries have.
void ReadEntryAttributes(IXMLDOMElement* element, ItemRecord& record)
{
    record.name = Doc::Text(element, Attr::EntryName);
    record.number = Doc::Text(element, Attr::Number);
    record.signature = Doc::Text(element, Attr::Signature);
    record.nameColor = static_cast<COLORREF>(Doc::Int(element, Attr::NameColor));
    record.serviceIconCount = Doc::Int(element, Attr::IconCount);
    record.serviceIcons.clear();
    if (record.serviceIconCount > 0)
        record.serviceIcons = DecodeServiceIcons(Doc::Text(element, Attr::Icons));
    record.groupHandle = Doc::Int(element, Attr::GroupHandle);
    record.avatarPicture = IntToBitmap(Doc::Int(element, Attr::Avatar));
    record.greyPicture = IntToBitmap(Doc::Int(element, Attr::GreyAvatar));
    record.online = Doc::Flag(element, Attr::Online);
    record.remark = Doc::Text(element, Attr::Remark);
    record.flashing = Doc::Flag(element, Attr::Flashing);
    record.avatarOffset = Doc::Int(element, Attr::AvatarOffset);
    record.avatarWidth = Doc::Int(element, Attr::AvatarWidth);
    record.avatarHeight = Doc::Int(element, Attr::AvatarHeight);
    record.value = Doc::Int(element, Attr::Value);
}

} // namespace

bool ReadItem(const ListInstance& instance, int handle, ItemRecord& record, IXMLDOMElement** element)
{
    IXMLDOMElement* found = instance.document.Find(handle);
    if (!found)
        return false;
    record.handle = Doc::Int(found, Attr::Handle);
    if (record.handle == 0)
        return false;
    record.kind = Doc::Text(found, Attr::Kind);
    record.rowIndex = Doc::Int(found, Attr::RowIndex);
    if (record.IsGroup()) {
        record.name = Doc::Text(found, Attr::GroupName);
        record.expanded = Doc::Flag(found, Attr::Expanded);
        record.nameColor = static_cast<COLORREF>(Doc::Int(found, Attr::NameColor));
        record.value = Doc::Int(found, Attr::Value);
        record.remark = Doc::Text(found, Attr::Remark);
    } else {
        ReadEntryAttributes(found, record);
    }
    if (element)
        *element = found;
    return true;
}

void WriteAllAttributes(IXMLDOMElement* element, const ItemRecord& record, bool withFlashState)
{
    Doc::Set(element, Attr::Handle, record.handle);
    Doc::Set(element, Attr::Kind, record.kind);
    Doc::Set(element, Attr::GroupHandle, record.groupHandle);
    Doc::Set(element, Attr::EntryName, record.name);
    Doc::Set(element, Attr::Number, record.number);
    Doc::Set(element, Attr::Signature, record.signature);
    Doc::Set(element, Attr::NameColor, static_cast<int>(record.nameColor));
    Doc::Set(element, Attr::IconCount, record.serviceIconCount);
    if (record.serviceIconCount > 0)
        Doc::Set(element, Attr::Icons, EncodeServiceIcons(record.serviceIcons));
    Doc::Set(element, Attr::Remark, record.remark);
    Doc::Set(element, Attr::Avatar, BitmapToInt(record.avatarPicture));
    Doc::Set(element, Attr::GreyAvatar, BitmapToInt(record.greyPicture));
    Doc::Set(element, Attr::AvatarWidth, record.avatarWidth);
    Doc::Set(element, Attr::AvatarHeight, record.avatarHeight);
    if (withFlashState)
        Doc::Set(element, Attr::AvatarOffset, record.avatarOffset);
    Doc::Set(element, Attr::Online, record.online ? 1 : 0);
    Doc::Set(element, Attr::RowIndex, record.rowIndex);
    if (withFlashState)
        Doc::Set(element, Attr::Flashing, record.flashing ? 1 : 0);
    Doc::Set(element, Attr::Value, record.value);
}

bool IsGroup(const ItemDocument& document, int handle)
{
    IXMLDOMElement* element = document.Find(handle);
    return element && Doc::Text(element, Attr::Kind) == kKindGroup;
}

RowBatch::RowBatch(ListInstance& instance) : m_instance(instance)
{
    if (m_instance.redrawPauses++ == 0)
        ::SendMessageW(m_instance.list, WM_SETREDRAW, FALSE, 0);
}

RowBatch::~RowBatch()
{
    if (--m_instance.redrawPauses == 0) {
        ::SendMessageW(m_instance.list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_instance.list, nullptr, TRUE);
    }
}

int RowCount(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
}

int ItemAtRow(HWND list, int row)
{
    return static_cast<int>(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

int AddRow(HWND list, int row, int handle, int height)
{
    // Without LBS_HASSTRINGS the "string" a row is added with is its item data.
    const LPARAM data = handle;
    const LRESULT added = row < 0 ? ::SendMessageW(list, LB_ADDSTRING, 0, data)
                                  : ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), data);
    if (added < 0)
        return -1;
    SetRowHeight(list, static_cast<int>(added), height);
    return static_cast<int>(added);
}

void DeleteRow(HWND list, int row)
{
    if (row >= 0)
        ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void SetRowHeight(HWND list, int row, int height)
{
    ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(row), MAKELPARAM(height, 0));
}

bool IsEntryRow(const ListInstance& instance, int row)
{
    IXMLDOMElement* element = row >= 0 ? instance.document.Find(ItemAtRow(instance.list, row)) : nullptr;
    return element && Doc::Text(element, Attr::Kind) != kKindGroup;
}

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

namespace {

// The current row of a marked item, or -1 when it has none.
int RowOfItem(const ListInstance& instance, int handle)
{
    IXMLDOMElement* element = handle > 0 ? instance.document.Find(handle) : nullptr;
    if (!element)
        return -1;
    const int row = Doc::Int(element, Attr::RowIndex);
    return row >= 0 && ItemAtRow(instance.list, row) == handle ? row : -1;
}

} // namespace

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
}

void SetHoverRow(ListInstance& instance, int row)
{
    instance.hoverRow = row;
    instance.hoverItem = row >= 0 ? ItemAtRow(instance.list, row) : 0;
}

void SetSelectedRow(ListInstance& instance, int row)
{
    instance.selectedRow = row;
    instance.selectedItem = row >= 0 ? ItemAtRow(instance.list, row) : 0;
}

bool EnlargesSelection(const ListInstance& instance)
{
    return instance.enlargeSelected && instance.displayMode != 0;
}

void MoveSelection(ListInstance& instance, int row)
{
    const int previous = instance.selectedRow;
    SetSelectedRow(instance, row);
    if (!EnlargesSelection(instance)) {
        PaintRow(instance, previous);
        PaintRow(instance, row);
        return;
    }
    if (IsEntryRow(instance, previous))
        SetRowHeight(instance.list, previous, instance.entryRowHeight);
    if (IsEntryRow(instance, row))
        SetRowHeight(instance.list, row, kLargeRowHeight);
    // Rows below move and the blank area under the last one may grow.
    ::InvalidateRect(instance.list, nullptr, TRUE);
}

void DeleteEntryBitmaps(IXMLDOMElement* element)
{
    for (Attr attr : {Attr::Avatar, Attr::GreyAvatar}) {
        // The document names bitmaps the control owns: adopt and release.
        if (const int value = Doc::Int(element, attr))
            base::UniqueBitmap{IntToBitmap(value)}.reset();
    }
}

void DeleteAllEntryBitmaps(const ItemDocument& document)
{
    for (const Element& group : ItemDocument::Children(document.Root())) {
        for (const Element& entry : ItemDocument::Children(group.get()))
            DeleteEntryBitmaps(entry.get());
    }
}

} // namespace grouplist
