#include "app/MusicBar.h"

#include "music/Playlist.h"

namespace app {

namespace {
constexpr wchar_t kPlayerMessageName[] = L"Quillery.MusicBar.Player";
} // namespace

void MusicBar::StartPlayer(HWND window) noexcept
{
    if (m_player)
        return;
    m_message = ::RegisterWindowMessageW(kPlayerMessageName);
    if (!m_message)
        return;
    try {
        m_player = std::make_unique<music::PlayerThread>(m_makePlayer, window, m_message);
    } catch (...) {
        // No thread to play on: the program goes on without music.
    }
}

void MusicBar::StopPlayer() noexcept
{
    m_request = 0;
    m_ended = false;
    m_search.reset();
    m_player.reset();
}

bool MusicBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_message || message != m_message)
        return false;
    OnPlayerEvent(static_cast<unsigned>(wParam), static_cast<music::PlayerEvent>(lParam));
    return true;
}

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

void MusicBar::SetPlayButton(bool playing)
{
    m_playBox.SetTextOnly(playing ? kStopText : kPlayText);
    m_state.musicPlaying = playing;
}

void MusicBar::ShowTrackTitle(const std::wstring& path)
{
    m_titleBox.SetTextOnly(music::TrackTitle(path));
}

void MusicBar::PlayTrack(const std::wstring& path)
{
    m_search.reset();
    ShowTrackTitle(path);
    SetPlayButton(true);
    m_ended = false;
    if (m_player)
        m_request = m_player->Play(path);
    else
        SetPlayButton(false);
}

void MusicBar::TogglePlayback()
{
    if (m_state.musicPlaying) {
        // Also while a track is still opening: when it opens, it is closed.
        if (m_player)
            m_player->Stop();
        m_request = 0;
        m_ended = false;
        m_search.reset();
        SetPlayButton(false);
        return;
    }
    // An empty playlist has nothing to play, whatever was saved.
    if (!m_state.playlist.empty() && !m_state.currentMusic.empty())
        PlayTrack(m_state.currentMusic);
}

void MusicBar::MusicTimerTick()
{
    if (!m_state.musicPlaying || !m_ended)
        return;
    m_ended = false;
    const std::optional<size_t> next = music::NextTrackIndex(m_state.playlist, m_state.currentMusic);
    if (!next) {
        if (m_player)
            m_player->Stop();
        m_request = 0;
        SetPlayButton(false);
        return;
    }
    m_search = Search{.first = *next, .line = *next, .tried = 0};
    TryLine(*next);
}

void MusicBar::TryLine(size_t line)
{
    // The title shows the track being tried, and a stop now leaves it current.
    m_search->line = line;
    ++m_search->tried;
    m_state.currentMusic = m_state.playlist[line];
    ShowTrackTitle(m_state.currentMusic);
    SetPlayButton(true);
    m_ended = false;
    if (m_player) {
        m_request = m_player->Play(m_state.currentMusic);
        return;
    }
    m_search.reset();
    SetPlayButton(false);
}

void MusicBar::OnPlayerEvent(unsigned request, music::PlayerEvent event)
{
    // An answer for a track replaced or stopped since.
    if (request == 0 || request != m_request)
        return;
    switch (event) {
    case music::PlayerEvent::Ended:
        m_ended = true; // the tick moves on
        return;
    case music::PlayerEvent::Started:
        if (m_search) {
            m_search.reset();
            RememberCurrentTrack();
        }
        return;
    case music::PlayerEvent::Failed:
        break;
    default: // posted by someone else under our message's name
        return;
    }
    m_request = 0;
    // The panel may have changed the playlist while the tries went on.
    const size_t count = m_state.playlist.size();
    if (m_search && count > 0) {
        if (m_search->tried < count) {
            TryLine((m_search->line + 1) % count);
            return;
        }
        // Nothing in the list plays: it has still moved on by one.
        m_state.currentMusic = m_state.playlist[m_search->first % count];
        RememberCurrentTrack();
        ShowTrackTitle(m_state.currentMusic);
    }
    m_search.reset();
    SetPlayButton(false);
}

void MusicBar::PlaySelectedTrack(const std::wstring& path)
{
    m_state.currentMusic = path;
    PlayTrack(path);
    RememberCurrentTrack();
}

void MusicBar::RememberCurrentTrack()
{
    // A read-only folder only costs the memory of the track across restarts.
    (void)m_config.Write(kConfigSection, kCurrentMusicKey, m_state.currentMusic);
}

} // namespace app
