#pragma once
// The control's own record of its items, for work that must not walk the
// document (a walk costs a COM object and an attribute copy per item):
// groups in row order, each with its entries in document order, every
// item's name as its row shows it (an entry whose program is gone says so
// after its name), and each entry's name alone folded for the filter. Every
// item operation keeps it in step with the document.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace grouplist {

// What the row of an entry whose program is gone reads after the name.
inline constexpr std::wstring_view kMissingSuffix = L" (找不到程序)";

class ItemIndex {
public:
    struct Group {
        int handle = 0;
        std::wstring name;
        std::vector<int> entries;
    };
    struct Entry {
        int group = 0;
        std::wstring name;   // as the row reads
        std::wstring folded; // the name alone
        bool missing = false;
    };

    // In front of the group `before`; at the end when it names none.
    void AddGroup(int handle, std::wstring_view name, int before = 0);
    // The group goes with its entries.
    void RemoveGroup(int handle);
    void Clear();
    void AddEntry(int group, int handle, std::wstring_view name);
    void RemoveEntry(int handle);
    void Rename(int handle, std::wstring_view name);
    // False for handles of no entry.
    bool SetMissing(int handle, bool missing);
    // The group's entries in a new order; handles it does not hold are left out.
    void ReorderEntries(int group, const std::vector<int>& entries);

    [[nodiscard]] const std::vector<Group>& Groups() const noexcept { return m_groups; }
    [[nodiscard]] const Group* FindGroup(int handle) const;
    [[nodiscard]] const Entry* FindEntry(int handle) const;
    // The text of the item's row; empty for handles it does not know.
    [[nodiscard]] const std::wstring& NameOf(int handle) const;

private:
    [[nodiscard]] Group* MutableGroup(int handle);
    void Renumber();

    std::vector<Group> m_groups;
    std::unordered_map<int, size_t> m_groupAt; // handle -> position in m_groups
    std::unordered_map<int, Entry> m_entries;
};

} // namespace grouplist
