// Real playback through MCI of tones the build made, from paths with
// spaces and Chinese names whose GBK bytes hold a "\" (琝 is 0xAC 0x5C).

#include "music/MciPlayer.h"

#include "TempFolder.h"
#include "Tones.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Dispatches messages (the end-of-play notification among them) until the
// condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        MSG msg{};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(20);
    }
    return true;
}

} // namespace

TEST(MciPlayerTest, PlaysWholePathsAndReportsOnlyAnEndItReachedByItself)
{
    TempFolder temp;
    const std::wstring folder = temp.Path() + L"\\音乐 琝";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring shortTrack = folder + L"\\歌琝 一.mp3";
    const std::wstring longTrack = folder + L"\\二.mp3";
    ASSERT_TRUE(CopyTone(L"short", shortTrack) && CopyTone(L"long", longTrack)) << "the build makes the tones";

    music::MciPlayer player;
    EXPECT_FALSE(player.Play(folder + L"\\missing.mp3"));
    EXPECT_FALSE(player.Play(L""));
    EXPECT_FALSE(player.PlayedToEnd());

    ASSERT_TRUE(player.Play(shortTrack));
    EXPECT_FALSE(player.PlayedToEnd()) << "a one-second tone cannot have ended yet";
    EXPECT_TRUE(PumpUntil([&] { return player.PlayedToEnd(); }, 15000)) << "no end-of-play notice";

    // Stopped, or replaced by another track, a track has not played to its end.
    ASSERT_TRUE(player.Play(longTrack));
    EXPECT_FALSE(player.PlayedToEnd());
    ASSERT_TRUE(player.Play(shortTrack));
    player.Stop();
    EXPECT_FALSE(PumpUntil([&] { return player.PlayedToEnd(); }, 2500));

    // A second player in the same process keeps to its own track.
    music::MciPlayer other;
    ASSERT_TRUE(player.Play(longTrack));
    ASSERT_TRUE(other.Play(shortTrack));
    EXPECT_TRUE(PumpUntil([&] { return other.PlayedToEnd(); }, 15000));
    EXPECT_FALSE(player.PlayedToEnd());
}
