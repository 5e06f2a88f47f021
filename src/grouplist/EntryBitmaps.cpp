#include "grouplist/EntryBitmaps.h"

#include "grouplist/ItemRecords.h"

namespace grouplist {

namespace {

using Doc = ItemDocument;

} // namespace

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
