#pragma once
// Playing one track at a time. The program only needs to start a file,
// stop it, and learn that a track it started has played to its end.
// A player is made and used on one thread only (PlayerThread's), and its
// calls may block for as long as the file takes to open.

#include <string>

namespace music {

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Opens path and plays it from the start, after stopping whatever
    // played. False when the file cannot be opened or played.
    [[nodiscard]] virtual bool Play(const std::wstring& path) = 0;
    virtual void Stop() = 0;
    // True once the track Play started has played to its end by itself
    // (not stopped, not replaced), until the next Play or Stop.
    [[nodiscard]] virtual bool PlayedToEnd() const = 0;
};

} // namespace music
