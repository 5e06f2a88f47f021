#pragma once
// The catalogue as one listing: its group folders, each with its shortcut
// files and what identifies them. A large catalogue takes a while to list
// (some 110 ms for 10,000 shortcuts under Wine), so the program lists it
// ahead, on a thread of its own from its first moment, while its window is
// being made, rather than after.

#include "base/FolderListing.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace catalogue {

struct ListedGroup {
    std::wstring name;                   // the folder's name
    std::vector<base::ListedFile> files; // its shortcut files
};

struct CatalogueListing {
    std::vector<ListedGroup> groups; // as GroupFolders names them
    std::uint64_t listedAt = 0;      // the system time it began, in FILETIME units
};

[[nodiscard]] CatalogueListing ListCatalogue(const std::wstring& root);

class ListingAhead {
public:
    // Lists root on a thread of its own; without a thread, nothing is.
    void Start(const std::wstring& root);
    // The listing of root, waiting for the thread to finish it: no longer
    // than listing it here would take. None when nothing was started for
    // root (compared as the file system compares) or it was taken before.
    [[nodiscard]] std::optional<CatalogueListing> Take(const std::wstring& root);
    // Whether the thread is done: Take would not wait.
    [[nodiscard]] bool IsListed() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace catalogue
