#include "base/Text.h"

#include <windows.h>

#include <gtest/gtest.h>

using base::DecodeFileText;
using base::EncodeFileText;
using base::NarrowExact;
using base::Widen;

namespace {
constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;
} // namespace

TEST(Text, DecodesByteOrderMarkAsUtf8AndAnythingElseInTheCodePage)
{
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87", kGbk), L"中文");
    EXPECT_EQ(DecodeFileText("\xD6\xD0\xCE\xC4", kGbk), L"中文");
    EXPECT_EQ(DecodeFileText("caf\xE9", kWestern), L"café");
    EXPECT_EQ(DecodeFileText("", kGbk), L"");
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF", kGbk), L"");
}

TEST(Text, EncodesInTheCodePageWhenItHoldsTheTextExactly)
{
    EXPECT_EQ(EncodeFileText(L"中文", kGbk), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(EncodeFileText(L"C:\\Tools\\app.exe", kGbk), "C:\\Tools\\app.exe");
    EXPECT_EQ(EncodeFileText(L"café", kWestern), "caf\xE9");
    EXPECT_EQ(EncodeFileText(L"", kGbk), "");
}

TEST(Text, FallsBackToUtf8WithMarkRatherThanLoseACharacter)
{
    // Thai is not in GBK; Chinese is not in 1252.
    EXPECT_EQ(EncodeFileText(L"ก.txt", kGbk), "\xEF\xBB\xBF\xE0\xB8\x81.txt");
    EXPECT_EQ(EncodeFileText(L"中", kWestern), "\xEF\xBB\xBF\xE4\xB8\xAD");
    // 1252 would best-fit a-macron to a plain 'a'; that is a loss too.
    EXPECT_EQ(EncodeFileText(L"\u0101", kWestern), "\xEF\xBB\xBF\xC4\x81");
    // Everything written reads back unchanged.
    for (const wchar_t* text : {L"ก.txt", L"中文\r\nD:\\音乐\\歌.mp3", L"\u0101bc"}) {
        for (unsigned cp : {kGbk, kWestern})
            EXPECT_EQ(DecodeFileText(EncodeFileText(text, cp), cp), text);
    }
}

TEST(Text, AnsiBytesThatLookLikeTheMarkAreWrittenAsUtf8)
{
    // In 1252, "ï»¿" is exactly the bytes of the UTF-8 mark.
    const std::wstring text = L"\u00EF\u00BB\u00BFabc";
    const std::string bytes = EncodeFileText(text, kWestern);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(DecodeFileText(bytes, kWestern), text);
}

TEST(Text, GbkCharactersWithABackslashSecondByteSurviveWhole)
{
    // 乗 is 0x81 0x5C in GBK: its second byte is the backslash.
    const std::string bytes = "D:\\\x81\x5C\\run.exe";
    const std::wstring path = Widen(bytes, kGbk);
    EXPECT_EQ(path, L"D:\\乗\\run.exe");
    EXPECT_EQ(path.find_last_of(L'\\'), 4u);
    EXPECT_EQ(NarrowExact(path, kGbk), bytes);
}

TEST(Text, NarrowExactRefusesWhatTheCodePageCannotHold)
{
    EXPECT_FALSE(NarrowExact(L"ก", kGbk).has_value());
    EXPECT_FALSE(NarrowExact(L"中", kWestern).has_value());
    EXPECT_EQ(NarrowExact(L"", kWestern), std::string());
    EXPECT_EQ(base::ToUtf8(L"音乐"), "\xE9\x9F\xB3\xE4\xB9\x90");
}
