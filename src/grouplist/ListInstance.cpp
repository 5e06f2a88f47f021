#include "grouplist/ListInstance.h"

#include "grouplist/ItemStore.h"

#include <unordered_map>

namespace grouplist {

namespace {

// Every control of the process, by list window; touched only on the window thread.
std::unordered_map<HWND, std::unique_ptr<ListInstance>>& Table()
{
    static std::unordered_map<HWND, std::unique_ptr<ListInstance>> table;
    return table;
}

} // namespace

ListInstance* FindInstance(HWND list)
{
    if (!list)
        return nullptr;
    const auto found = Table().find(list);
    return found == Table().end() ? nullptr : found->second.get();
}

ListInstance& AddInstance(std::unique_ptr<ListInstance> instance)
{
    ListInstance& added = *instance;
    Table()[instance->list] = std::move(instance);
    return added;
}

void RemoveInstance(HWND list)
{
    const auto found = Table().find(list);
    if (found == Table().end())
        return;
    const ListInstance& instance = *found->second;
    for (const Element& group : ItemDocument::Children(instance.document.Root())) {
        for (const Element& entry : ItemDocument::Children(group.get()))
            DeleteEntryBitmaps(entry.get());
    }
    Table().erase(found);
}

} // namespace grouplist
