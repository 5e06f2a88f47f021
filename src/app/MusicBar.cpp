#include "app/MusicBar.h"

#include "music/Playlist.h"

namespace app {

void MusicBar::InitMusic()
{
    // Kept even without a playlist, so closing writes it back as it was found.
    m_state.currentMusic = m_config.Read(kConfigSection, kCurrentMusicKey);
    m_state.playlist = music::ReadPlaylist(m_state.playlistPath, m_codePage);
    if (m_state.playlist.empty())
        return;
    if (m_state.currentMusic.empty())
        m_state.currentMusic = m_state.playlist.front();
    ShowTrackTitle(m_state.currentMusic);
}

void MusicBar::SetPlayButton(int playing)
{
    m_playBox.SetTextOnly(playing ? kStopText : kPlayText);
    m_state.musicPlaying = playing ? 1 : 0;
}

void MusicBar::ShowTrackTitle(const std::wstring& path)
{
    m_titleBox.SetTextOnly(music::TrackTitle(path));
}

bool MusicBar::PlayTrack(const std::wstring& path)
{
    ShowTrackTitle(path);
    const bool playing = m_player.Play(path);
    SetPlayButton(playing ? 1 : 0);
    return playing;
}

void MusicBar::TogglePlayback()
{
    if (m_state.musicPlaying) {
        m_player.Stop();
        SetPlayButton(0);
        return;
    }
    // An empty playlist has nothing to play, whatever was saved.
    if (!m_state.playlist.empty() && !m_state.currentMusic.empty())
        (void)PlayTrack(m_state.currentMusic);
}

void MusicBar::MusicTimerTick()
{
    if (!m_state.musicPlaying || !m_player.PlayedToEnd())
        return;
    const std::optional<size_t> next = music::NextTrackIndex(m_state.playlist, m_state.currentMusic);
    if (!next) {
        m_player.Stop();
        SetPlayButton(0);
        return;
    }
    PlayFromLine(*next);
}

void MusicBar::PlayFromLine(size_t first)
{
    const auto& lines = m_state.playlist;
    for (size_t step = 0; step < lines.size(); ++step) {
        const std::wstring& candidate = lines[(first + step) % lines.size()];
        if (m_player.Play(candidate)) {
            m_state.currentMusic = candidate;
            RememberCurrentTrack();
            ShowTrackTitle(candidate);
            SetPlayButton(1);
            return;
        }
    }
    // Nothing in the list plays: it has still moved on by one.
    m_state.currentMusic = lines[first];
    RememberCurrentTrack();
    ShowTrackTitle(m_state.currentMusic);
    SetPlayButton(0);
}

void MusicBar::PlaySelectedTrack(const std::wstring& path)
{
    m_state.currentMusic = path;
    (void)PlayTrack(path);
    RememberCurrentTrack();
}

void MusicBar::RememberCurrentTrack()
{
    // A read-only folder only costs the memory of the track across restarts.
    (void)m_config.Write(kConfigSection, kCurrentMusicKey, m_state.currentMusic);
}

} // namespace app
