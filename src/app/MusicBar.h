#pragma once
// The music at the bottom of the main window: the current track's title in
// 动画框2, play and stop in 动画框8, and the one-second tick that moves on
// to the next track when one the program started has played to its end.
// Tracks open on the player's own thread; the window never waits for one.

#include "app/AppState.h"
#include "app/Configuration.h"
#include "music/PlayerThread.h"
#include "toolkit/AnimationBox.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace app {

inline constexpr wchar_t kPlayText[] = L"播放";
inline constexpr wchar_t kStopText[] = L"停止";

class MusicBar {
public:
    // Everything is borrowed and must outlive the bar; config is read when used.
    MusicBar(AppState& state, const IniFile& config, toolkit::AnimationBox& titleBox,
             toolkit::AnimationBox& playBox, music::PlayerFactory makePlayer, unsigned codePage = CP_ACP)
        : m_state(state), m_config(config), m_titleBox(titleBox), m_playBox(playBox),
          m_makePlayer(std::move(makePlayer)), m_codePage(codePage)
    {
    }

    // Starts the player's thread; what it has to say comes to window as a
    // message that OnMessage takes. Without it nothing plays.
    void StartPlayer(HWND window) noexcept;
    // Stops the music and lets the player's thread go, without waiting for
    // a track that will not open.
    void StopPlayer() noexcept;
    // True when the message was the player's (and has been handled).
    [[nodiscard]] bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // At start: the playlist is read and the current track's title shown
    // (the saved one, else the first line); nothing plays.
    void InitMusic();

    // false shows "播放", true "停止"; musicPlaying follows.
    void SetPlayButton(bool playing);
    // The playlist as its file was last read.
    void SetPlaylist(std::vector<std::wstring> lines) { m_state.playlist = std::move(lines); }
    void ShowTrackTitle(const std::wstring& path);
    // Shows the track and the button "停止", and asks for the track; the
    // button goes back to "播放" if it cannot be played.
    void PlayTrack(const std::wstring& path);

    void TogglePlayback();
    void MusicTimerTick();
    // A track chosen in the music panel: played and remembered at once.
    void PlaySelectedTrack(const std::wstring& path);

private:
    // Moving on after a track ended: playlist lines are tried one at a
    // time from `first`, at most once round the list.
    struct Search {
        size_t first = 0;
        size_t line = 0;
        size_t tried = 0;
    };
    void TryLine(size_t line);
    void OnPlayerEvent(unsigned request, music::PlayerEvent event);
    void RememberCurrentTrack();

    AppState& m_state;
    const IniFile& m_config;
    toolkit::AnimationBox& m_titleBox;
    toolkit::AnimationBox& m_playBox;
    music::PlayerFactory m_makePlayer;
    unsigned m_codePage;
    std::unique_ptr<music::PlayerThread> m_player;
    UINT m_message = 0;         // the player's message to the window
    unsigned m_request = 0;     // the answer awaited; 0 once stopped
    bool m_ended = false;       // the requested track played to its end
    std::optional<Search> m_search;
};

} // namespace app
