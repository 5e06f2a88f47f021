#include "grouplist/EntryBitmaps.h"

#include "grouplist/ItemRecords.h"

#include <unordered_map>

namespace grouplist {

namespace {

using Doc = ItemDocument;

// Extra owners of shared bitmaps, beyond the first, by the handle's 32
// significant bits: the document stores handles as int, and in a 64-bit
// process one that comes back from there is sign-extended, a different
// pointer value for the same bitmap. Only the window thread touches list
// controls, so no lock.
std::unordered_map<unsigned long, int>& ExtraOwners()
{
    static std::unordered_map<unsigned long, int> owners;
    return owners;
}

unsigned long KeyOf(HBITMAP picture)
{
    return HandleToULong(picture);
}

} // namespace

void SharePicture(HBITMAP picture)
{
    if (picture)
        ++ExtraOwners()[KeyOf(picture)];
}

void ReleasePicture(HBITMAP picture)
{
    if (!picture)
        return;
    auto& owners = ExtraOwners();
    if (const auto it = owners.find(KeyOf(picture)); it != owners.end()) {
        if (--it->second == 0)
            owners.erase(it);
        return;
    }
    base::UniqueBitmap{picture}.reset();
}

void DeleteEntryBitmaps(IXMLDOMElement* element)
{
    for (Attr attr : {Attr::Avatar, Attr::GreyAvatar})
        ReleasePicture(IntToBitmap(Doc::Int(element, attr)));
}

void DeleteAllEntryBitmaps(const ItemDocument& document)
{
    for (const Element& group : ItemDocument::Children(document.Root())) {
        for (const Element& entry : ItemDocument::Children(group.get()))
            DeleteEntryBitmaps(entry.get());
    }
}

} // namespace grouplist
