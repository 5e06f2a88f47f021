#pragma once
// Tracks are opened and played on a thread of their own: a file on a share
// that does not answer holds up that thread for the share's time-out, never
// the window. The thread owns the player (for MCI: the device and the
// window its end-of-play notice goes to); the window asks, goes on, and
// learns each outcome from one posted message.

#include "music/MediaPlayer.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace music {

// What a posted message reports, in its lParam; its wParam holds the number
// of the request it answers.
enum class PlayerEvent : int {
    Started = 1, // the track plays
    Failed = 2,  // it cannot be opened or played
    Ended = 3,   // it played to its end by itself
};

// Makes the player on the thread that will use it.
using PlayerFactory = std::function<std::unique_ptr<MediaPlayer>()>;

class PlayerThread {
public:
    // Throws std::system_error when no thread can be started.
    PlayerThread(PlayerFactory makePlayer, HWND notify, UINT message);
    // Stops the music and waits briefly for the thread. One stuck in an open
    // is left to end on its own: it holds everything it uses, closes what it
    // opened, and posts nothing more.
    ~PlayerThread();
    PlayerThread(const PlayerThread&) = delete;
    PlayerThread& operator=(const PlayerThread&) = delete;

    // Plays path after stopping whatever played, and returns the request's
    // number (never 0). Only one open is in progress at a time: a request
    // not yet begun is replaced by a later one, and a track opened for a
    // replaced request is closed at once and never reported.
    unsigned Play(std::wstring path);
    void Stop();

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace music
