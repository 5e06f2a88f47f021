#include "grouplist/ListInstance.h"

#include "grouplist/EntryBitmaps.h"

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

void RemoveInstance(HWND list) noexcept
{
    const auto found = Table().find(list);
    if (found == Table().end())
        return;
    const std::unique_ptr<ListInstance> instance = std::move(found->second);
    Table().erase(found);
    try {
        DeleteAllEntryBitmaps(instance->document);
    } catch (...) {
        // Out of memory listing the entries: their bitmaps stay, the rest goes.
    }
}

} // namespace grouplist
