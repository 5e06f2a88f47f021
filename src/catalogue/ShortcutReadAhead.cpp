#include "catalogue/ShortcutReadAhead.h"

#include "catalogue/CatalogueFolder.h"
#include "catalogue/IconCache.h"

#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace catalogue {

struct ShortcutReadAhead::Batch {
    std::vector<ShortcutFile> files;
    std::shared_ptr<IconCache> cache;
    std::mutex lock;
    std::vector<std::optional<std::wstring>> paths; // by slot
    std::vector<bool> taken;                        // asked for: the thread need not read it
    bool cancelled = false;
};

namespace {

void Read(const std::shared_ptr<ShortcutReadAhead::Batch>& batch)
{
    // Here rather than on the window thread: the cache file may be slow to
    // come (the worker may be reading it already; then this waits for it).
    if (batch->cache)
        batch->cache->Read();
    for (std::size_t slot = 0; slot < batch->files.size(); ++slot) {
        {
            const std::lock_guard hold(batch->lock);
            if (batch->cancelled)
                return;
            if (batch->taken[slot])
                continue;
        }
        const ShortcutFile& file = batch->files[slot];
        if (batch->cache && batch->cache->FindShortcut(file.path, file.identity))
            continue; // the loader takes it from the cache
        std::wstring path = ReadShortcutPath(file.path, file.identity.codePage);
        const std::lock_guard hold(batch->lock);
        batch->paths[slot] = std::move(path);
    }
}

void Cancel(const std::shared_ptr<ShortcutReadAhead::Batch>& batch)
{
    if (!batch)
        return;
    const std::lock_guard hold(batch->lock);
    batch->cancelled = true;
}

} // namespace

ShortcutReadAhead::~ShortcutReadAhead()
{
    Cancel(m_batch);
}

void ShortcutReadAhead::Start(std::vector<ShortcutFile> files, std::shared_ptr<IconCache> cache)
{
    Cancel(m_batch);
    m_batch.reset();
    if (files.empty())
        return;
    auto batch = std::make_shared<Batch>();
    batch->paths.resize(files.size());
    batch->taken.resize(files.size());
    batch->files = std::move(files);
    batch->cache = std::move(cache);
    try {
        // The thread holds the batch, so it may outlive this object; it
        // reads local files only and ends at the next one once cancelled.
        std::thread(Read, batch).detach();
    } catch (const std::system_error&) {
        return; // no thread: every file is read as its entry is added
    }
    m_batch = std::move(batch);
}

std::optional<std::wstring> ShortcutReadAhead::Take(std::size_t slot)
{
    if (!m_batch || slot >= m_batch->taken.size())
        return std::nullopt;
    const std::lock_guard hold(m_batch->lock);
    m_batch->taken[slot] = true;
    return std::exchange(m_batch->paths[slot], std::nullopt);
}

} // namespace catalogue
