// The music bar with a player that plays what the test allows and ends a
// track when the test says so; real boxes show the texts.

#include "app/MusicBar.h"

#include "TempFolder.h"
#include "music/Playlist.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class FakePlayer final : public music::MediaPlayer {
public:
    bool Play(const std::wstring& path) override
    {
        played.push_back(path);
        ended = false;
        return playable.contains(path);
    }
    void Stop() override
    {
        ++stops;
        ended = false;
    }
    bool PlayedToEnd() const override { return ended; }

    std::set<std::wstring> playable;
    std::vector<std::wstring> played;
    int stops = 0;
    bool ended = false;
};

class MusicBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_title.Create(m_host.Handle(), {0, 0, 172, 22}));
        ASSERT_TRUE(m_play.Create(m_host.Handle(), {0, 30, 40, 52}));
        m_state.playlistPath = m_folder.Path() + L"\\mp3.txt";
    }

    void WritePlaylist(const std::vector<std::wstring>& lines)
    {
        ASSERT_TRUE(music::WritePlaylist(m_state.playlistPath, lines, 936));
    }

    [[nodiscard]] static std::wstring TextOf(const toolkit::AnimationBox& box)
    {
        wchar_t text[64]{};
        ::GetWindowTextW(box.Handle(), text, 64);
        return text;
    }
    [[nodiscard]] std::wstring Saved() const { return m_ini.Read(app::kConfigSection, app::kCurrentMusicKey); }

    // The player ends its track and the one-second tick comes.
    void EndTrackAndTick()
    {
        m_player.ended = true;
        m_bar.MusicTimerTick();
    }

    testing_support::TempFolder m_folder;
    testing_support::PatternHost m_host;
    toolkit::AnimationBox m_title;
    toolkit::AnimationBox m_play;
    app::AppState m_state;
    app::IniFile m_ini{m_folder.Path() + L"\\Instal.ini"};
    FakePlayer m_player;
    app::MusicBar m_bar{m_state, m_ini, m_title, m_play, m_player, 936};
};

} // namespace

TEST_F(MusicBarTest, StartsOnTheSavedTrackWithoutPlayingAndTogglesPlayback)
{
    WritePlaylist({L"D:\\音乐\\一.mp3", L"D:\\音乐\\歌琝.mp3"});
    ASSERT_TRUE(m_ini.Write(app::kConfigSection, app::kCurrentMusicKey, L"D:\\音乐\\歌琝.mp3"));
    m_bar.SetPlayButton(0);
    m_bar.InitMusic();
    EXPECT_EQ(TextOf(m_title), L"歌琝");
    EXPECT_EQ(TextOf(m_play), L"播放");
    EXPECT_TRUE(m_player.played.empty());

    m_player.playable = {L"D:\\音乐\\歌琝.mp3"};
    m_bar.TogglePlayback();
    EXPECT_EQ(m_player.played, std::vector<std::wstring>{L"D:\\音乐\\歌琝.mp3"});
    EXPECT_EQ(TextOf(m_play), L"停止");
    EXPECT_EQ(m_state.musicPlaying, 1);
    m_bar.TogglePlayback();
    EXPECT_EQ(m_player.stops, 1);
    EXPECT_EQ(TextOf(m_play), L"播放");
    EXPECT_EQ(m_state.musicPlaying, 0);

    // Nothing saved: the first line. A track that will not play is no success.
    ASSERT_TRUE(m_ini.Write(app::kConfigSection, app::kCurrentMusicKey, L""));
    m_bar.InitMusic();
    EXPECT_EQ(TextOf(m_title), L"一");
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"播放");
    EXPECT_EQ(m_state.musicPlaying, 0);
}

TEST_F(MusicBarTest, AnEndedTrackIsFollowedByTheNextPlayableOneAndRemembered)
{
    const std::wstring a = L"D:\\a.mp3", gone = L"D:\\gone.mp3", c = L"D:\\c.mp3";
    WritePlaylist({a, gone, c});
    m_bar.InitMusic();
    m_player.playable = {a, c};
    m_bar.TogglePlayback();

    m_bar.MusicTimerTick();
    EXPECT_EQ(m_player.played.size(), 1u) << "a track still playing is left alone";

    EndTrackAndTick();
    EXPECT_EQ(m_state.currentMusic, c) << "the missing file is passed over";
    EXPECT_EQ(Saved(), c);
    EXPECT_EQ(TextOf(m_title), L"c");
    EXPECT_EQ(TextOf(m_play), L"停止");

    EndTrackAndTick();
    EXPECT_EQ(m_state.currentMusic, a) << "from the last line back to the first";
    EXPECT_EQ(Saved(), a);

    // A stopped track never moves on.
    m_bar.TogglePlayback();
    m_player.ended = true;
    const size_t playedBefore = m_player.played.size();
    m_bar.MusicTimerTick();
    EXPECT_EQ(m_player.played.size(), playedBefore);
}

TEST_F(MusicBarTest, WithNothingPlayableItTriesEachLineOnceAndStops)
{
    WritePlaylist({L"D:\\a.mp3", L"D:\\b.mp3", L"D:\\c.mp3"});
    m_bar.InitMusic();
    m_player.playable = {L"D:\\a.mp3"};
    m_bar.TogglePlayback();
    m_player.playable.clear(); // the disk went away

    EndTrackAndTick();
    EXPECT_EQ(m_player.played,
              (std::vector<std::wstring>{L"D:\\a.mp3", L"D:\\b.mp3", L"D:\\c.mp3", L"D:\\a.mp3"}));
    EXPECT_EQ(m_state.currentMusic, L"D:\\b.mp3") << "it has still moved on by one";
    EXPECT_EQ(TextOf(m_title), L"b");
    EXPECT_EQ(TextOf(m_play), L"播放");

    // A track missing from the playlist is followed by the first line; an
    // empty playlist plays nothing at all.
    m_player.playable = {L"D:\\a.mp3", L"D:\\x.mp3"};
    m_bar.PlaySelectedTrack(L"D:\\x.mp3");
    EXPECT_EQ(Saved(), L"D:\\x.mp3") << "a chosen track is remembered at once";
    EndTrackAndTick();
    EXPECT_EQ(m_state.currentMusic, L"D:\\a.mp3");

    m_state.playlist.clear();
    m_bar.TogglePlayback();
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"播放");
}
