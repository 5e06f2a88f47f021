#include "grouplist/ItemRecords.h"

#include "grouplist/ItemText.h"

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
    record.missing = Doc::Flag(element, Attr::Missing);
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
    // Only ever set by the host, and absent reads as 0: most entries never carry it.
    if (record.missing)
        Doc::Set(element, Attr::Missing, 1);
}

bool IsGroup(const ItemDocument& document, int handle)
{
    IXMLDOMElement* element = document.Find(handle);
    return element && Doc::Text(element, Attr::Kind) == kKindGroup;
}

} // namespace grouplist
