#include "catalogue/CatalogueListing.h"

#include "catalogue/CatalogueEdits.h"
#include "catalogue/CatalogueFolder.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace catalogue {

struct ListingAhead::State {
    std::wstring root;
    std::mutex lock;
    std::condition_variable listed;
    std::optional<CatalogueListing> listing;
};

CatalogueListing ListCatalogue(const std::wstring& root)
{
    CatalogueListing listing;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    listing.listedAt = base::JoinHalves(now.dwHighDateTime, now.dwLowDateTime);
    for (std::wstring& folder : GroupFolders(root)) {
        std::vector<base::ListedFile> files = base::ListFilesWithExtension(root + L"\\" + folder, kShortcutExtension);
        listing.groups.push_back({std::move(folder), std::move(files)});
    }
    return listing;
}

void ListingAhead::Start(const std::wstring& root)
{
    auto state = std::make_shared<State>();
    state->root = root;
    try {
        // The thread holds the state, so it may outlive this object.
        std::thread([state] {
            CatalogueListing listing = ListCatalogue(state->root);
            const std::lock_guard hold(state->lock);
            state->listing = std::move(listing);
            state->listed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return; // the load lists it itself
    }
    m_state = std::move(state);
}

std::optional<CatalogueListing> ListingAhead::Take(const std::wstring& root)
{
    const std::shared_ptr<State> state = std::exchange(m_state, nullptr);
    if (!state || !SameFileName(state->root, root))
        return std::nullopt;
    std::unique_lock hold(state->lock);
    state->listed.wait(hold, [&] { return state->listing.has_value(); });
    return std::move(state->listing);
}

bool ListingAhead::IsListed() const
{
    if (!m_state)
        return false;
    const std::lock_guard hold(m_state->lock);
    return m_state->listing.has_value();
}

} // namespace catalogue
