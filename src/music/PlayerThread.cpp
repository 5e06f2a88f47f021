#include "music/PlayerThread.h"

#include "base/ComPtr.h"
#include "base/Handles.h"

#include <objbase.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace music {

namespace {

// How often a playing track is asked whether it has ended: MCI's notice
// can come before the device says it stopped.
constexpr DWORD kEndPollMs = 200;
// Closing a device takes milliseconds; a hung open is not waited for.
constexpr auto kCloseWait = std::chrono::milliseconds(500);

enum class Ask { None, Play, Stop };

} // namespace

struct PlayerThread::State {
    PlayerFactory makePlayer;
    HWND notify = nullptr; // not owned; null once the owner has gone
    UINT message = 0;
    base::UniqueKernelHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};

    std::mutex lock;
    std::condition_variable ended;
    Ask asked = Ask::None; // the latest request not yet begun
    std::wstring path;
    unsigned askedNumber = 0;
    unsigned lastNumber = 0;
    bool quit = false;
    bool finished = false;
};

namespace {

using State = PlayerThread::State;

// Under the lock, so nothing is posted after the owner has said goodbye.
void Post(const State& state, unsigned number, PlayerEvent event)
{
    if (state.notify)
        ::PostMessageW(state.notify, state.message, number, static_cast<LPARAM>(event));
}

void DispatchWaitingMessages()
{
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

// An exception must not end the program from this thread: a player that
// cannot be made, or cannot play, only leaves tracks unplayed.
std::unique_ptr<MediaPlayer> MakePlayer(const State& state) noexcept
{
    try {
        return state.makePlayer ? state.makePlayer() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

bool StartTrack(MediaPlayer* player, const std::wstring& path) noexcept
{
    try {
        return player && player->Play(path);
    } catch (...) {
        return false;
    }
}

unsigned NextNumber(State& state)
{
    if (++state.lastNumber == 0) // 0 stands for no request
        ++state.lastNumber;
    return state.askedNumber = state.lastNumber;
}

void Run(const std::shared_ptr<State>& state)
{
    // MCI plays MP3 through COM objects; this thread pumps, so it can be a
    // single-threaded apartment.
    const base::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::unique_ptr<MediaPlayer> player = MakePlayer(*state);
    unsigned playing = 0; // the request whose track plays; 0 for none

    std::unique_lock hold(state->lock);
    while (!state->quit) {
        if (state->asked != Ask::None) {
            const Ask ask = std::exchange(state->asked, Ask::None);
            const unsigned number = state->askedNumber;
            const std::wstring path = std::move(state->path);
            hold.unlock();
            bool started = false;
            if (ask == Ask::Play)
                started = StartTrack(player.get(), path);
            else if (player)
                player->Stop();
            hold.lock();
            playing = started ? number : 0;
            // Replaced meanwhile: the next turn stops or replaces the track,
            // and nobody waits for this answer.
            if (ask == Ask::Play && state->asked == Ask::None)
                Post(*state, number, started ? PlayerEvent::Started : PlayerEvent::Failed);
            continue;
        }
        hold.unlock();
        if (playing && player->PlayedToEnd()) {
            hold.lock();
            if (state->asked == Ask::None)
                Post(*state, playing, PlayerEvent::Ended);
            playing = 0;
            continue;
        }
        // A request, MCI's notice, or time to look at the track again.
        HANDLE wake = state->wake.get();
        (void)::MsgWaitForMultipleObjectsEx(1, &wake, playing ? kEndPollMs : INFINITE, QS_ALLINPUT,
                                            MWMO_INPUTAVAILABLE);
        DispatchWaitingMessages();
        hold.lock();
    }
    hold.unlock();

    if (player)
        player->Stop();
    player.reset();
    hold.lock();
    state->finished = true;
    state->ended.notify_all();
}

} // namespace

PlayerThread::PlayerThread(PlayerFactory makePlayer, HWND notify, UINT message) : m_state(std::make_shared<State>())
{
    m_state->makePlayer = std::move(makePlayer);
    m_state->notify = notify;
    m_state->message = message;
    if (!m_state->wake)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category());
    // The thread holds the state itself, so it may outlive this object.
    std::thread(Run, m_state).detach();
}

PlayerThread::~PlayerThread()
{
    std::unique_lock hold(m_state->lock);
    m_state->quit = true;
    m_state->asked = Ask::None;
    m_state->notify = nullptr;
    ::SetEvent(m_state->wake.get());
    (void)m_state->ended.wait_for(hold, kCloseWait, [&] { return m_state->finished; });
}

unsigned PlayerThread::Play(std::wstring path)
{
    const std::lock_guard hold(m_state->lock);
    m_state->asked = Ask::Play;
    m_state->path = std::move(path);
    const unsigned number = NextNumber(*m_state);
    ::SetEvent(m_state->wake.get());
    return number;
}

void PlayerThread::Stop()
{
    const std::lock_guard hold(m_state->lock);
    m_state->asked = Ask::Stop;
    m_state->path.clear();
    (void)NextNumber(*m_state);
    ::SetEvent(m_state->wake.get());
}

} // namespace music
