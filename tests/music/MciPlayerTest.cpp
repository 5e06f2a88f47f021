// Real playback through MCI, on the player's own thread, of tones the build
// made, from paths with spaces and Chinese names whose GBK bytes hold a "\"
// (琝 is 0xAC 0x5C).

#include "music/MciPlayer.h"
#include "music/PlayerThread.h"

#include "TempFolder.h"
#include "Tones.h"

#include <gtest/gtest.h>

#include <optional>

using namespace testing_support;
using music::PlayerEvent;

namespace {

// A PlayerThread with real MCI, posting to a window of this thread.
struct Player {
    static constexpr UINT kMessage = WM_APP + 40;

    // The next answer to a request, others passed over; nothing if none came in time.
    std::optional<PlayerEvent> Next(unsigned request, DWORD timeoutMs = 10000)
    {
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start <= timeoutMs; ::Sleep(20)) {
            MSG msg{};
            while (::PeekMessageW(&msg, window.get(), kMessage, kMessage, PM_REMOVE))
                if (msg.wParam == request)
                    return static_cast<PlayerEvent>(msg.lParam);
        }
        return std::nullopt;
    }

    base::UniqueWindow window{
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)};
    music::PlayerThread thread{[] { return std::make_unique<music::MciPlayer>(); }, window.get(), kMessage};
};

} // namespace

TEST(MciPlayerTest, PlaysWholePathsAndReportsOnlyAnEndItReachedByItself)
{
    TempFolder temp;
    const std::wstring folder = temp.Path() + L"\\音乐 琝";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring shortTrack = folder + L"\\歌琝 一.mp3";
    const std::wstring longTrack = folder + L"\\二.mp3";
    ASSERT_TRUE(CopyTone(L"short", shortTrack) && CopyTone(L"long", longTrack)) << "the build makes the tones";

    Player player;
    EXPECT_EQ(player.Next(player.thread.Play(folder + L"\\missing.mp3")), PlayerEvent::Failed);
    EXPECT_EQ(player.Next(player.thread.Play(L"")), PlayerEvent::Failed);
    // A quote would end the quoted name and have the rest read as options.
    EXPECT_EQ(player.Next(player.thread.Play(shortTrack + L"\" type mpegvideo alias x")), PlayerEvent::Failed);

    const unsigned shortRequest = player.thread.Play(shortTrack);
    ASSERT_EQ(player.Next(shortRequest), PlayerEvent::Started);
    EXPECT_EQ(player.Next(shortRequest, 15000), PlayerEvent::Ended) << "no end-of-play notice";

    // Stopped, or replaced by another track, a track has not played to its end.
    ASSERT_EQ(player.Next(player.thread.Play(longTrack)), PlayerEvent::Started);
    const unsigned replacing = player.thread.Play(shortTrack);
    ASSERT_EQ(player.Next(replacing), PlayerEvent::Started);
    player.thread.Stop();
    EXPECT_EQ(player.Next(replacing, 2500), std::nullopt);

    // A second player in the same process keeps to its own track.
    Player other;
    const unsigned longRequest = player.thread.Play(longTrack);
    ASSERT_EQ(player.Next(longRequest), PlayerEvent::Started);
    const unsigned otherRequest = other.thread.Play(shortTrack);
    ASSERT_EQ(other.Next(otherRequest), PlayerEvent::Started);
    EXPECT_EQ(other.Next(otherRequest, 15000), PlayerEvent::Ended);
    EXPECT_EQ(player.Next(longRequest, 0), std::nullopt);
}
