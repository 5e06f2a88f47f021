#include "grouplist/ItemIndex.h"

#include "grouplist/NameFolding.h"

namespace grouplist {

void ItemIndex::AddGroup(int handle, std::wstring_view name, int before)
{
    const auto at = m_groupAt.find(before);
    if (at == m_groupAt.end()) {
        m_groupAt[handle] = m_groups.size();
        m_groups.push_back({handle, std::wstring(name), {}});
        return;
    }
    m_groups.insert(m_groups.begin() + static_cast<std::ptrdiff_t>(at->second), Group{handle, std::wstring(name), {}});
    Renumber();
}

void ItemIndex::RemoveGroup(int handle)
{
    const auto at = m_groupAt.find(handle);
    if (at == m_groupAt.end())
        return;
    const auto group = m_groups.begin() + static_cast<std::ptrdiff_t>(at->second);
    for (const int entry : group->entries)
        m_entries.erase(entry);
    m_groups.erase(group);
    Renumber();
}

void ItemIndex::Clear()
{
    m_groups.clear();
    m_groupAt.clear();
    m_entries.clear();
}

void ItemIndex::AddEntry(int group, int handle, std::wstring_view name)
{
    Group* owner = MutableGroup(group);
    if (!owner)
        return;
    owner->entries.push_back(handle);
    m_entries[handle] = {group, std::wstring(name), FoldForSearch(name)};
}

void ItemIndex::RemoveEntry(int handle)
{
    const auto found = m_entries.find(handle);
    if (found == m_entries.end())
        return;
    if (Group* owner = MutableGroup(found->second.group))
        std::erase(owner->entries, handle);
    m_entries.erase(found);
}

void ItemIndex::Rename(int handle, std::wstring_view name)
{
    if (const auto found = m_entries.find(handle); found != m_entries.end()) {
        found->second.name = name;
        if (found->second.missing)
            found->second.name += kMissingSuffix;
        found->second.folded = FoldForSearch(name);
    } else if (Group* group = MutableGroup(handle)) {
        group->name = name;
    }
}

bool ItemIndex::SetMissing(int handle, bool missing)
{
    const auto found = m_entries.find(handle);
    if (found == m_entries.end())
        return false;
    Entry& entry = found->second;
    if (entry.missing == missing)
        return true;
    entry.missing = missing;
    if (missing)
        entry.name += kMissingSuffix;
    else
        entry.name.resize(entry.name.size() - kMissingSuffix.size());
    return true;
}

void ItemIndex::ReorderEntries(int group, const std::vector<int>& entries)
{
    Group* owner = MutableGroup(group);
    if (!owner)
        return;
    std::vector<int> ordered;
    ordered.reserve(owner->entries.size());
    for (const int entry : entries) {
        if (const Entry* known = FindEntry(entry); known && known->group == group)
            ordered.push_back(entry);
    }
    if (ordered.size() == owner->entries.size())
        owner->entries = std::move(ordered);
}

const ItemIndex::Group* ItemIndex::FindGroup(int handle) const
{
    const auto at = m_groupAt.find(handle);
    return at == m_groupAt.end() ? nullptr : &m_groups[at->second];
}

const ItemIndex::Entry* ItemIndex::FindEntry(int handle) const
{
    const auto found = m_entries.find(handle);
    return found == m_entries.end() ? nullptr : &found->second;
}

const std::wstring& ItemIndex::NameOf(int handle) const
{
    static const std::wstring none;
    if (const Entry* entry = FindEntry(handle))
        return entry->name;
    const Group* group = FindGroup(handle);
    return group ? group->name : none;
}

ItemIndex::Group* ItemIndex::MutableGroup(int handle)
{
    const auto at = m_groupAt.find(handle);
    return at == m_groupAt.end() ? nullptr : &m_groups[at->second];
}

void ItemIndex::Renumber()
{
    m_groupAt.clear();
    for (size_t i = 0; i < m_groups.size(); ++i)
        m_groupAt[m_groups[i].handle] = i;
}

} // namespace grouplist
