#include "catalogue/IconWorker.h"

#include "base/ComPtr.h"
#include "base/Stopwatch.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/IconCache.h"
#include "catalogue/ProgramIcons.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace catalogue {

std::vector<std::uint8_t> ShellIconSource::PictureFor(const std::wstring& programPath, int pixelSize)
{
    return ProgramIconPicture(programPath, nullptr, pixelSize);
}

struct IconWorker::State {
    std::shared_ptr<IconSource> source;
    HWND notify = nullptr;
    UINT message = 0;

    mutable std::mutex lock;
    std::condition_variable wake;
    std::condition_variable ended;
    std::map<int, std::deque<std::wstring>> queued; // by group
    std::deque<std::wstring> deferred;              // shares to check once the rest is done
    int preferred = -1;
    int load = 0;
    int pixelSize = kIconPictureSize;
    bool recheckShares = false;
    std::shared_ptr<IconCache> cache;
    bool readCache = false;
    struct SaveJob {
        int pixelSize = 0;
        CacheKeep keep;
    };
    std::optional<SaveJob> save;
    bool stop = false;
    bool finished = false;
    bool notified = false;
    std::vector<IconResult> results;
    double sourceMs = 0;
};

namespace {

using State = IconWorker::State;

// The next path, from the preferred group if it has any. Under the lock.
std::wstring TakeNext(State& state)
{
    auto group = state.queued.find(state.preferred);
    if (group == state.queued.end())
        group = state.queued.begin();
    std::wstring path = std::move(group->second.front());
    group->second.pop_front();
    if (group->second.empty())
        state.queued.erase(group);
    return path;
}

// The answer for a path: from the cache when what it keeps still holds,
// otherwise from the source (and then kept). Off the lock.
IconResult Answer(IconSource& source, IconCache* cache, DriveTypes& drives, const std::wstring& path, int pixelSize,
                  const std::optional<CachedPicture>& cached, bool checkShare, double& sourceMs)
{
    IconResult result;
    result.path = path;
    ProgramFileCheck check;
    if (cached) {
        // Unchecked, a share never holds the worker (or a start) up.
        if (!checkShare && IsOnShare(path, drives)) {
            result.unchanged = true;
            result.missing = cached->missing;
            return result;
        }
        check = CheckProgramFile(path);
        // A file system that does not answer has not changed the file: the
        // picture it had is better than the blank the source would give.
        if (!check.answered || (check.stamp.known && check.stamp == cached->stamp && !cached->missing)) {
            result.unchanged = true;
            result.missing = cached->missing;
            return result;
        }
    } else if (cache) {
        check = CheckProgramFile(path);
    }
    const base::Stopwatch watch;
    result.picture = source.PictureFor(path, pixelSize);
    sourceMs = watch.ElapsedMs();
    result.missing = IsMissingProgram(path, drives);
    if (cache)
        cache->Store(path, pixelSize, check.stamp, std::make_shared<const std::vector<std::uint8_t>>(result.picture),
                     result.missing);
    return result;
}

void Run(const std::shared_ptr<State>& state)
{
    // The shell's icon lookup wants a single-threaded apartment.
    const base::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    DriveTypes drives;
    int drivesLoad = 0; // the load the drive types were asked for
    std::unique_lock hold(state->lock);
    for (;;) {
        state->wake.wait(hold, [&] {
            return state->stop || state->readCache || state->save || !state->queued.empty() ||
                   !state->deferred.empty();
        });
        if (state->stop)
            break;
        const std::shared_ptr<IconCache> cache = state->cache;
        if (state->readCache) {
            state->readCache = false;
            hold.unlock();
            cache->Read();
            hold.lock();
            continue;
        }
        if (state->queued.empty() && state->deferred.empty()) {
            const State::SaveJob job = std::move(*state->save);
            state->save.reset();
            hold.unlock();
            (void)cache->Save(job.pixelSize, &job.keep);
            hold.lock();
            continue;
        }
        const int load = state->load;
        const int pixelSize = state->pixelSize;
        const bool recheckShares = state->recheckShares;
        const bool deferredPass = state->queued.empty();
        std::wstring path;
        if (deferredPass) {
            path = std::move(state->deferred.front());
            state->deferred.pop_front();
        } else {
            path = TakeNext(*state);
        }
        hold.unlock();

        if (std::exchange(drivesLoad, load) != load)
            drives = DriveTypes{};
        const std::optional<CachedPicture> cached = cache ? cache->Find(path, pixelSize) : std::nullopt;
        if (cached && recheckShares && !deferredPass && IsOnShare(path, drives)) {
            // A share may keep the worker waiting long: everything else first.
            hold.lock();
            if (load == state->load)
                state->deferred.push_back(std::move(path));
            continue;
        }
        double ms = 0;
        IconResult result = Answer(*state->source, cache.get(), drives, path, pixelSize, cached, recheckShares, ms);
        result.load = load;

        hold.lock();
        // Told to stop while the source was busy: the loader and its window
        // are going, so nothing more is stored or posted.
        if (state->stop)
            break;
        if (load != state->load)
            continue; // a reload came while the source was busy
        state->results.push_back(std::move(result));
        state->sourceMs += ms;
        if (!state->notified) {
            state->notified = true;
            // Posted under the lock, so a result never waits unannounced.
            ::PostMessageW(state->notify, state->message, 0, 0);
        }
    }
    state->finished = true;
    state->ended.notify_all();
}

} // namespace

IconWorker::IconWorker(std::shared_ptr<IconSource> source, HWND notify, UINT message)
    : m_state(std::make_shared<State>())
{
    m_state->source = std::move(source);
    m_state->notify = notify;
    m_state->message = message;
    // The thread holds the state itself, so it may outlive this object.
    std::thread(Run, m_state).detach();
}

IconWorker::~IconWorker()
{
    std::unique_lock hold(m_state->lock);
    m_state->stop = true;
    m_state->queued.clear();
    m_state->wake.notify_all();
    // Long enough for any ordinary icon; a stuck one is not worth a frozen exit.
    (void)m_state->ended.wait_for(hold, std::chrono::seconds(1), [&] { return m_state->finished; });
}

void IconWorker::StartLoad(int load, int pixelSize, bool recheckShares)
{
    const std::lock_guard hold(m_state->lock);
    m_state->load = load;
    m_state->pixelSize = pixelSize;
    m_state->recheckShares = recheckShares;
    m_state->queued.clear();
    m_state->deferred.clear();
    m_state->results.clear();
    m_state->preferred = -1;
    m_state->sourceMs = 0;
    m_state->notified = false;
    // Its keep list is the old load's: it would drop what the new one stores.
    m_state->save.reset();
}

void IconWorker::UseCache(std::shared_ptr<IconCache> cache)
{
    const std::lock_guard hold(m_state->lock);
    m_state->cache = std::move(cache);
    m_state->save.reset();
}

void IconWorker::ReadCache()
{
    const std::lock_guard hold(m_state->lock);
    m_state->readCache = m_state->cache != nullptr;
    m_state->wake.notify_one();
}

void IconWorker::SaveCache(int pixelSize, CacheKeep keep)
{
    const std::lock_guard hold(m_state->lock);
    if (!m_state->cache)
        return;
    m_state->save = State::SaveJob{pixelSize, std::move(keep)};
    m_state->wake.notify_one();
}

void IconWorker::Request(int group, std::wstring path)
{
    const std::lock_guard hold(m_state->lock);
    m_state->queued[group].push_back(std::move(path));
    m_state->wake.notify_one();
}

void IconWorker::Prefer(int group)
{
    const std::lock_guard hold(m_state->lock);
    m_state->preferred = group;
}

std::vector<IconResult> IconWorker::TakeResults()
{
    const std::lock_guard hold(m_state->lock);
    m_state->notified = false;
    return std::exchange(m_state->results, {});
}

double IconWorker::SourceMs() const
{
    const std::lock_guard hold(m_state->lock);
    return m_state->sourceMs;
}

} // namespace catalogue
