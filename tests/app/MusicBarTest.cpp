// The music bar with a player, on the bar's own player thread, that plays
// what the test allows, ends a track when the test says so, and can hang
// in an open as a file on a dead share would; real boxes show the texts.

#include "app/MusicBar.h"

#include "TempFolder.h"
#include "music/Playlist.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

namespace {

using Lines = std::vector<std::wstring>;

// Shared by the test and the fake player on the bar's player thread.
struct FakeTracks {
    std::mutex lock;
    std::condition_variable freed;
    std::set<std::wstring> playable;
    std::wstring hangOn; // opening it waits until Release
    bool free = false, gone = false;
    Lines calls; // paths opened, and "stop"
    std::atomic<bool> ended{false};

    Lines Calls() { const std::lock_guard hold(lock); return calls; }
    void Playable(std::set<std::wstring> paths) { const std::lock_guard hold(lock); playable = std::move(paths); }
    void HangOn(std::wstring path) { const std::lock_guard hold(lock); hangOn = std::move(path); free = false; }
    void Release() { const std::lock_guard hold(lock); free = true; freed.notify_all(); }
};

struct FakePlayer final : music::MediaPlayer {
    explicit FakePlayer(std::shared_ptr<FakeTracks> tracks) : t(std::move(tracks)) {}
    ~FakePlayer() override { const std::lock_guard hold(t->lock); t->gone = true; }
    bool Play(const std::wstring& path) override
    {
        std::unique_lock hold(t->lock);
        t->calls.push_back(path);
        t->ended = false;
        // Bounded, so a player that blocks the window fails the test rather than hanging it.
        if (path == t->hangOn)
            t->freed.wait_for(hold, std::chrono::seconds(10), [&] { return t->free; });
        return t->playable.contains(path);
    }
    void Stop() override { const std::lock_guard hold(t->lock); t->calls.push_back(L"stop"); t->ended = false; }
    bool PlayedToEnd() const override { return t->ended; }
    std::shared_ptr<FakeTracks> t;
};

class MusicBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_title.Create(m_host.Handle(), {0, 0, 172, 22}));
        ASSERT_TRUE(m_play.Create(m_host.Handle(), {0, 30, 40, 52}));
        m_state.playlistPath = m_folder.Path() + L"\\mp3.txt";
        m_bar.StartPlayer(m_host.Handle());
    }
    void TearDown() override
    {
        m_tracks->Release();
        m_bar.StopPlayer();
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

    // The window's loop: messages dispatched, the player's to the bar, and
    // the music tick, until the condition holds; false on time-out.
    bool Run(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
    {
        const DWORD start = ::GetTickCount();
        while (!condition()) {
            if (::GetTickCount() - start > timeoutMs)
                return false;
            MSG msg{};
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!m_bar.OnMessage(msg.message, msg.wParam, msg.lParam))
                    ::DispatchMessageW(&msg);
            m_bar.MusicTimerTick();
            ::Sleep(10);
        }
        return true;
    }
    void RunFor(DWORD ms) { (void)Run([] { return false; }, ms); }
    [[nodiscard]] bool CallsAre(const Lines& expected) { return Run([&] { return m_tracks->Calls() == expected; }); }
    // The player ends its track; the tick moves on.
    void EndTrack() { m_tracks->ended = true; }

    testing_support::TempFolder m_folder;
    testing_support::PatternHost m_host;
    toolkit::AnimationBox m_title;
    toolkit::AnimationBox m_play;
    app::AppState m_state;
    app::IniFile m_ini{m_folder.Path() + L"\\Instal.ini"};
    std::shared_ptr<FakeTracks> m_tracks = std::make_shared<FakeTracks>();
    app::MusicBar m_bar{m_state, m_ini, m_title, m_play,
                        [tracks = m_tracks] { return std::make_unique<FakePlayer>(tracks); }, 936};
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

    m_tracks->Playable({L"D:\\音乐\\歌琝.mp3"});
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"停止") << "at once, before the track has opened";
    EXPECT_TRUE(CallsAre({L"D:\\音乐\\歌琝.mp3"}));
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"播放");
    EXPECT_FALSE(m_state.musicPlaying);
    EXPECT_TRUE(CallsAre({L"D:\\音乐\\歌琝.mp3", L"stop"}));

    // Nothing saved: the first line. A track that will not play is no success.
    ASSERT_TRUE(m_ini.Write(app::kConfigSection, app::kCurrentMusicKey, L""));
    m_bar.InitMusic();
    EXPECT_EQ(TextOf(m_title), L"一");
    m_bar.TogglePlayback();
    EXPECT_TRUE(Run([&] { return TextOf(m_play) == L"播放"; }));
    EXPECT_FALSE(m_state.musicPlaying);
}

TEST_F(MusicBarTest, AnEndedTrackIsFollowedByTheNextPlayableOneAndRemembered)
{
    const std::wstring a = L"D:\\a.mp3", gone = L"D:\\gone.mp3", c = L"D:\\c.mp3";
    WritePlaylist({a, gone, c});
    m_bar.InitMusic();
    m_tracks->Playable({a, c});
    m_bar.TogglePlayback();
    RunFor(300);
    EXPECT_EQ(m_tracks->Calls(), Lines{a}) << "a track still playing is left alone";

    EndTrack();
    EXPECT_TRUE(Run([&] { return Saved() == c; })) << "the missing file is passed over";
    EXPECT_EQ(m_tracks->Calls(), (Lines{a, gone, c}));
    EXPECT_EQ(TextOf(m_title), L"c");
    EXPECT_EQ(TextOf(m_play), L"停止");

    EndTrack();
    EXPECT_TRUE(Run([&] { return Saved() == a; })) << "from the last line back to the first";

    // A stopped track never moves on.
    m_bar.TogglePlayback();
    EndTrack();
    RunFor(500);
    EXPECT_EQ(m_tracks->Calls(), (Lines{a, gone, c, a, L"stop"}));
}

TEST_F(MusicBarTest, WithNothingPlayableItTriesEachLineOnceAndStops)
{
    WritePlaylist({L"D:\\a.mp3", L"D:\\b.mp3", L"D:\\c.mp3"});
    m_bar.InitMusic();
    m_tracks->Playable({L"D:\\a.mp3"});
    m_bar.TogglePlayback();
    EXPECT_TRUE(CallsAre({L"D:\\a.mp3"}));
    m_tracks->Playable({}); // the disk went away

    EndTrack();
    EXPECT_TRUE(CallsAre({L"D:\\a.mp3", L"D:\\b.mp3", L"D:\\c.mp3", L"D:\\a.mp3"}));
    EXPECT_TRUE(Run([&] { return TextOf(m_play) == L"播放"; }));
    EXPECT_EQ(m_state.currentMusic, L"D:\\b.mp3") << "it has still moved on by one";
    EXPECT_EQ(Saved(), L"D:\\b.mp3");
    EXPECT_EQ(TextOf(m_title), L"b");

    // A track missing from the playlist is followed by the first line; an
    // empty playlist plays nothing at all.
    m_tracks->Playable({L"D:\\a.mp3", L"D:\\x.mp3"});
    m_bar.PlaySelectedTrack(L"D:\\x.mp3");
    EXPECT_EQ(Saved(), L"D:\\x.mp3") << "a chosen track is remembered at once";
    EXPECT_TRUE(Run([&] { return m_tracks->Calls().back() == L"D:\\x.mp3"; }));
    EndTrack();
    EXPECT_TRUE(Run([&] { return Saved() == L"D:\\a.mp3"; }));

    m_state.playlist.clear();
    m_bar.TogglePlayback();
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"播放");
}

TEST_F(MusicBarTest, AnOpenThatHangsNeitherFreezesTheWindowNorOutlastsStopOrClose)
{
    const std::wstring a = L"D:\\a.mp3", slow = L"\\\\dead\\share\\慢.mp3", c = L"D:\\c.mp3";
    WritePlaylist({a, slow, c});
    m_bar.InitMusic();
    m_tracks->Playable({a, slow, c});
    m_tracks->HangOn(slow);
    m_bar.TogglePlayback();
    EXPECT_TRUE(CallsAre({a}));

    // Another program keeps asking whether the window answers, while the
    // track ends and the next one hangs in its open.
    std::atomic<bool> probing = true, probed = false;
    std::atomic<int> asked = 0, answered = 0;
    std::thread prober([&] {
        for (; probing; ::Sleep(50), ++asked) {
            DWORD_PTR result = 0;
            if (::SendMessageTimeoutW(m_host.Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result))
                ++answered;
        }
        probed = true;
    });
    EndTrack();
    EXPECT_TRUE(Run([&] { return m_tracks->Calls().size() == 2; }));
    RunFor(500);
    probing = false;
    (void)Run([&] { return probed.load(); }); // answering the last probe too
    prober.join();
    EXPECT_TRUE(asked > 5 && answered == asked) << answered << " of " << asked;
    EXPECT_EQ(TextOf(m_title), L"慢") << "the track being tried";
    EXPECT_EQ(TextOf(m_play), L"停止");

    // Stopped while it hangs: the track it finally opens is closed at once.
    m_bar.TogglePlayback();
    EXPECT_EQ(TextOf(m_play), L"播放");
    m_tracks->Release();
    EXPECT_TRUE(CallsAre({a, slow, L"stop"}));
    RunFor(300);
    EXPECT_EQ(TextOf(m_play), L"播放") << "its late success changes nothing";
    EXPECT_EQ(m_state.currentMusic, slow) << "what the title shows plays next";
    EXPECT_EQ(Saved(), L"") << "nor is it remembered";

    // Closing does not wait for an open that hangs.
    m_tracks->HangOn(slow);
    m_bar.TogglePlayback();
    ASSERT_TRUE(Run([&] { return m_tracks->Calls().size() == 4; }));
    const DWORD start = ::GetTickCount();
    m_bar.StopPlayer();
    EXPECT_LT(::GetTickCount() - start, 1000u);
    m_tracks->Release();
    EXPECT_TRUE(Run([&] {
        const std::lock_guard hold(m_tracks->lock);
        return m_tracks->gone && m_tracks->calls.back() == L"stop";
    })) << "the thread closes what it opened and ends";
}
