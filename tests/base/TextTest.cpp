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

TEST(Text, TellsUtf8WithoutAMarkAndUtf16FromGbk)
{
    const auto decode = [](std::string_view bytes) { return base::DecodeFile(bytes, kGbk); };
    using base::TextEncoding;
    // Today's Notepad saves UTF-8 without a mark.
    const auto utf8 = decode("D:\\\xE5\xBA\x94\xE7\x94\xA8\\\xE7\xA8\x8B\xE5\xBA\x8F\\mark.exe");
    EXPECT_EQ(utf8.text, L"D:\\应用\\程序\\mark.exe");
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    // Real GBK text is not valid UTF-8: 琝 and 乗 end in the byte of "\\",
    // 程序 starts with a continuation byte.
    for (const wchar_t* text : {L"D:\\琝\\a.exe", L"程序", L"乗\\run.exe"}) {
        const auto gbk = decode(*NarrowExact(text, kGbk));
        EXPECT_EQ(gbk.text, text);
        EXPECT_EQ(gbk.encoding, TextEncoding::CodePage);
    }
    // The rule's edge: GBK 鐢ㄦ埛 is byte for byte UTF-8 用户, and reads as such.
    EXPECT_EQ(NarrowExact(L"鐢ㄦ埛", kGbk), std::optional<std::string>("\xE7\x94\xA8\xE6\x88\xB7"));
    EXPECT_EQ(DecodeFileText("\xE7\x94\xA8\xE6\x88\xB7", kGbk), L"用户");
    // Overlong forms, surrogates and cut sequences are not UTF-8.
    for (std::string_view broken : {"\xC0\xAF", "\xED\xA0\x80", "\xE7\x94", "\xF4\x90\x80\x80"})
        EXPECT_EQ(decode(broken).encoding, TextEncoding::CodePage);
    EXPECT_EQ(decode("\xF0\x9F\x8E\xB5.mp3").text, L"\U0001F3B5.mp3");
    // Notepad's "Unicode" and "Unicode big endian"; an odd last byte is dropped.
    EXPECT_EQ(decode(std::string_view("\xFF\xFE\x2D\x4E\x61\x00\x62", 7)).text, L"中a");
    EXPECT_EQ(decode(std::string_view("\xFE\xFF\x4E\x2D\x00\x61", 6)).text, L"中a");
    EXPECT_EQ(decode("plain.exe").encoding, TextEncoding::CodePage);
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
    // 鐢ㄦ埛 in GBK would read back as UTF-8 用户, so it is written as UTF-8.
    EXPECT_EQ(EncodeFileText(L"鐢ㄦ埛", kGbk), "\xEF\xBB\xBF" + base::ToUtf8(L"鐢ㄦ埛"));
    for (const wchar_t* text : {L"ก.txt", L"中文\r\nD:\\音乐\\歌.mp3", L"\u0101bc", L"鐢ㄦ埛", L"Ã©"}) {
        for (unsigned cp : {kGbk, kWestern})
            EXPECT_EQ(DecodeFileText(EncodeFileText(text, cp), cp), text);
    }
}

TEST(Text, ARewriteKeepsTheEncodingTheFileWasReadIn)
{
    using base::TextEncoding;
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf8WithMark, TextEncoding::Utf16LeWithMark,
                                        TextEncoding::Utf16BeWithMark}) {
        const auto again = base::DecodeFile(EncodeFileText(L"D:\\音乐\\ก.mp3", encoding, kGbk), kGbk);
        EXPECT_EQ(again.text, L"D:\\音乐\\ก.mp3");
        EXPECT_EQ(again.encoding, encoding);
    }
    EXPECT_EQ(EncodeFileText(L"中", TextEncoding::Utf16LeWithMark, kGbk), std::string("\xFF\xFE\x2D\x4E", 4));
    EXPECT_EQ(EncodeFileText(L"中", TextEncoding::CodePage, kGbk), "\xD6\xD0");
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
