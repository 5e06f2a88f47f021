#include "music/Playlist.h"

#include "TempFolder.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

using namespace music;

TEST(PlaylistTest, TitlesAreCutOnCharacters)
{
    EXPECT_EQ(TrackTitle(L"D:\\音乐\\歌曲一.mp3"), L"歌曲一");
    EXPECT_EQ(TrackTitle(L"D:\\音乐\\a.b.mp3"), L"a.b");
    EXPECT_EQ(TrackTitle(L"D:\\音乐\\readme"), L"");
    EXPECT_EQ(TrackTitle(L"歌曲一.mp3"), L"歌曲一");
    // 琝 is 0xAC 0x5C in GBK: a byte search would see a "\" in it.
    EXPECT_EQ(TrackTitle(L"D:\\音乐\\歌琝.mp3"), L"歌琝");
    EXPECT_EQ(TrackTitle(L"D:\\a.b\\c"), L"");
}

TEST(PlaylistTest, TheNextTrackWrapsAndStartsOverWhenTheCurrentOneIsGone)
{
    const std::vector<std::wstring> list = {L"a", L"b", L"c"};
    EXPECT_EQ(NextTrackIndex(list, L"a"), 1u);
    EXPECT_EQ(NextTrackIndex(list, L"c"), 0u);
    EXPECT_EQ(NextTrackIndex(list, L"gone"), 0u);
    EXPECT_EQ(NextTrackIndex(list, L""), 0u);
    EXPECT_EQ(NextTrackIndex(list, L"A"), 0u) << "paths compare exactly";
    // Listed twice, once last: the last line wins and the list wraps.
    EXPECT_EQ(NextTrackIndex({L"a", L"x", L"a"}, L"a"), 0u);
    EXPECT_EQ(NextTrackIndex({L"x", L"x", L"y"}, L"x"), 1u);
    EXPECT_EQ(NextTrackIndex({}, L"a"), std::nullopt);
}

TEST(PlaylistTest, TheFileKeepsItsLinesAndItsCodePage)
{
    EXPECT_EQ(SplitLines(L"a\r\nb"), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(SplitLines(L"a\r\n\r\nb\r\n"), (std::vector<std::wstring>{L"a", L"b"})) << "blank lines name no track";
    EXPECT_EQ(SplitLines(L"a\nb"), (std::vector<std::wstring>{L"a\nb"})) << "only CR LF separates";
    EXPECT_TRUE(SplitLines(L"").empty());
    EXPECT_EQ(JoinLines({L"a", L"a", L"b"}), L"a\r\na\r\nb");
    EXPECT_EQ(JoinLines({}), L"");
    EXPECT_EQ(JoinPath(L"D:\\音乐", L"a.mp3"), L"D:\\音乐\\a.mp3");
    EXPECT_EQ(JoinPath(L"D:\\", L"a.mp3"), L"D:\\a.mp3");

    testing_support::TempFolder temp;
    const std::wstring path = temp.Path() + L"\\mp3.txt";
    EXPECT_TRUE(ReadPlaylist(path, 936).empty()) << "a missing file is an empty playlist";
    ASSERT_TRUE(WritePlaylist(path, {L"D:\\歌琝.mp3", L"D:\\b.mp3"}, 936));
    EXPECT_EQ(base::ReadFileBytes(path), std::optional<std::string>("D:\\\xB8\xE8\xAC\x5C.mp3\r\nD:\\b.mp3"));
    // Hangul has no GBK form: the whole file turns UTF-8 with a mark and nothing is lost.
    ASSERT_TRUE(WritePlaylist(path, {L"D:\\歌琝.mp3", L"D:\\한.mp3"}, 936));
    EXPECT_EQ(base::ReadFileBytes(path)->substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ReadPlaylist(path, 936), (std::vector<std::wstring>{L"D:\\歌琝.mp3", L"D:\\한.mp3"}));
}
