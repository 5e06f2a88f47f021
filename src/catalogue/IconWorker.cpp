#include "catalogue/IconWorker.h"

#include "base/ComPtr.h"
#include "base/Stopwatch.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/ProgramIcons.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
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
    int preferred = -1;
    int load = 0;
    int pixelSize = kIconPictureSize;
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

void Run(const std::shared_ptr<State>& state)
{
    // The shell's icon lookup wants a single-threaded apartment.
    const base::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::unique_lock hold(state->lock);
    for (;;) {
        state->wake.wait(hold, [&] { return state->stop || !state->queued.empty(); });
        if (state->stop)
            break;
        const int load = state->load;
        const int pixelSize = state->pixelSize;
        const std::wstring path = TakeNext(*state);
        hold.unlock();

        const base::Stopwatch watch;
        std::vector<std::uint8_t> picture = state->source->PictureFor(path, pixelSize);
        const double ms = watch.ElapsedMs();
        const bool missing = IsMissingProgram(path);

        hold.lock();
        // Told to stop while the source was busy: the loader and its window
        // are going, so nothing more is stored or posted.
        if (state->stop)
            break;
        if (load != state->load)
            continue; // a reload came while the source was busy
        state->results.push_back({load, path, std::move(picture), missing});
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

void IconWorker::StartLoad(int load, int pixelSize)
{
    const std::lock_guard hold(m_state->lock);
    m_state->load = load;
    m_state->pixelSize = pixelSize;
    m_state->queued.clear();
    m_state->results.clear();
    m_state->preferred = -1;
    m_state->sourceMs = 0;
    m_state->notified = false;
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
