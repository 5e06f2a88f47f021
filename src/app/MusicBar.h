#pragma once
// The music at the bottom of the main window: the current track's title in
// 动画框2, play and stop in 动画框8, and the one-second tick that moves on
// to the next track when one the program started has played to its end.

#include "app/AppState.h"
#include "app/Configuration.h"
#include "music/MediaPlayer.h"
#include "toolkit/AnimationBox.h"

#include <windows.h>

#include <string>

namespace app {

inline constexpr wchar_t kPlayText[] = L"播放";
inline constexpr wchar_t kStopText[] = L"停止";

class MusicBar {
public:
    // Everything is borrowed and must outlive the bar; config is read when used.
    MusicBar(AppState& state, const IniFile& config, toolkit::AnimationBox& titleBox,
             toolkit::AnimationBox& playBox, music::MediaPlayer& player, unsigned codePage = CP_ACP)
        : m_state(state), m_config(config), m_titleBox(titleBox), m_playBox(playBox), m_player(player),
          m_codePage(codePage)
    {
    }

    // At start: the playlist is read and the current track's title shown
    // (the saved one, else the first line); nothing plays.
    void InitMusic();

    // 0 shows "播放", 1 "停止"; musicPlaying follows.
    void SetPlayButton(int playing);
    void ShowTrackTitle(const std::wstring& path);
    // Shows the track and plays it; false (and the button shows "播放")
    // when it cannot be played.
    bool PlayTrack(const std::wstring& path);

    void TogglePlayback();
    void MusicTimerTick();
    // A track chosen in the music panel: played and remembered at once.
    void PlaySelectedTrack(const std::wstring& path);

private:
    // Starts the first playable track from playlist line `first` on, at
    // most once round the list; with none playable, shows line `first`.
    void PlayFromLine(size_t first);
    void RememberCurrentTrack();

    AppState& m_state;
    const IniFile& m_config;
    toolkit::AnimationBox& m_titleBox;
    toolkit::AnimationBox& m_playBox;
    music::MediaPlayer& m_player;
    unsigned m_codePage;
};

} // namespace app
