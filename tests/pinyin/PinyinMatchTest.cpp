// Names found by their pinyin, on the bare matcher and the reading table.

#include "pinyin/PinyinMatch.h"
#include "pinyin/PinyinTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using pinyin::MatchRank;

std::vector<std::string> ReadingsOf(wchar_t c)
{
    const pinyin::Readings readings = pinyin::ReadingsOf(c);
    std::vector<std::string> texts;
    for (int i = 0; i < readings.count; ++i)
        texts.emplace_back(readings[i]);
    return texts;
}

TEST(PinyinTable, ReadsEveryIdeographOfGbkWithoutTonesMostCommonFirst)
{
    using Texts = std::vector<std::string>;
    EXPECT_EQ(ReadingsOf(L'重'), (Texts{"zhong", "chong", "tong"}));
    EXPECT_EQ(ReadingsOf(L'绿'), (Texts{"lv", "lu"}));
    EXPECT_EQ(ReadingsOf(L'女'), (Texts{"nv", "ru"}));
    // The ends of the ranges, a compatibility ideograph read as the one it
    // stands for, and the ideographic zero.
    EXPECT_EQ(ReadingsOf(L'一'), (Texts{"yi"}));
    EXPECT_EQ(ReadingsOf(L'龥'), (Texts{"yu"}));
    EXPECT_EQ(ReadingsOf(0xF92C), (Texts{"lang"}));
    EXPECT_EQ(ReadingsOf(L'〇').front(), "ling");
    for (const wchar_t none : {L'a', L'9', L'ア', L'兙', L'\xFFFF', L'\0'})
        EXPECT_TRUE(ReadingsOf(none).empty()) << static_cast<int>(none);
    EXPECT_GT(pinyin::TableBytes(), 0u);
    EXPECT_LT(pinyin::TableBytes(), 200000u);
}

struct Case {
    const wchar_t* name; // folded, as the list hands it in
    const wchar_t* typed;
    std::optional<MatchRank> expected;
};

constexpr auto kStart = MatchRank::NameStart;
constexpr auto kWord = MatchRank::WordStart;
constexpr auto kInside = MatchRank::Inside;

const Case kCases[] = {
    // Initials, whole syllables, and a syllable's start running on.
    {L"微信", L"wx", kStart},
    {L"微信", L"weixin", kStart},
    {L"微信", L"wxin", kStart},
    {L"微信", L"weix", kStart},
    {L"微信", L"wei", kStart},
    {L"网易云音乐", L"wangyi", kStart},
    {L"网易云音乐", L"wangy", kStart},
    {L"网易云音乐", L"yinyue", kInside},
    {L"重庆地图", L"zhqdt", kStart},
    // Every reading of a polyphone, ü as v or u.
    {L"重庆地图", L"cqdt", kStart},
    {L"重庆地图", L"zqdt", kStart},
    {L"重庆地图", L"tongqing", kStart},
    {L"银行", L"yinhang", kStart},
    {L"银行", L"yinxing", kStart},
    {L"绿", L"lv", kStart},
    {L"绿", L"lu", kStart},
    {L"绿", L"l\u00FC", kStart},
    {L"略", L"lue", kStart},
    {L"女", L"nu", kStart},
    // Pinyin mixed with hanzi and with Latin; the plain match as before.
    {L"qq音乐", L"qqyy", kStart},
    {L"qq音乐", L"qq音乐", kStart},
    {L"qq音乐", L"qq音yue", kStart},
    {L"qq音乐", L"q音", kInside},
    {L"qq音乐", L"yy", kWord},
    {L"编辑pdf", L"pdf", kWord},
    {L"pdf编辑器", L"bjq", kWord},
    {L"office 工具", L"gj", kWord},
    {L"office 工具", L"fice", kInside},
    {L"alpha bits", L"bits", kWord},
    {L"打开微信", L"wx", kInside},
    {L"打开微信", L"dkwx", kStart},
    {L" 程序 4", L"序 4", kInside},
    {L"微信（电脑版）", L"dnb", kWord},
    // The best of several places counts.
    {L"信息微信", L"xx", kStart},
    {L"打开 微信 微信", L"wx", kWord},
    // No match: wrong order, too much, a gap, a letter a reading lacks.
    {L"微信", L"xw", std::nullopt},
    {L"微信", L"wxx", std::nullopt},
    {L"微信", L"weixinx", std::nullopt},
    {L"微信", L"wa", std::nullopt},
    {L"重庆地图", L"zqtd", std::nullopt},
    {L"重庆地图", L"zdt", std::nullopt},
    {L"qq 音乐", L"qqyy", std::nullopt},
    {L"qq音乐", L"qq乐", std::nullopt},
    {L"银行", L"yinv", std::nullopt},
    {L"abc", L"abd", std::nullopt},
    {L"", L"a", std::nullopt},
};

TEST(PinyinMatch, FindsNamesByInitialsSyllablesAndMixedText)
{
    for (const Case& c : kCases) {
        EXPECT_EQ(pinyin::MatchName(c.name, c.typed), c.expected)
            << testing::PrintToString(std::wstring(c.name)) << " typed " << testing::PrintToString(std::wstring(c.typed));
    }
    // Typed text longer than the short buffer, matched and not.
    const std::wstring longName(100, L'网');
    EXPECT_EQ(pinyin::MatchName(longName, std::wstring(80, L'w')), kStart);
    EXPECT_EQ(pinyin::MatchName(longName, std::wstring(70, L'w') + L'x'), std::nullopt);
}

} // namespace
