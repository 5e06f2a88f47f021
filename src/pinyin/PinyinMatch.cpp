#include "pinyin/PinyinMatch.h"

#include "pinyin/PinyinTable.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace pinyin {

namespace {

enum class CharKind { Separator, Chinese, Other };

CharKind KindOf(wchar_t c)
{
    if (IsIdeograph(c))
        return CharKind::Chinese;
    const bool asciiSeparator = c < 0x80 && !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') ||
                                               (c >= L'A' && c <= L'Z'));
    const bool latin1Separator = (c >= 0x80 && c <= 0xBF) || c == 0xD7 || c == 0xF7;
    const bool generalPunctuation = c >= 0x2000 && c <= 0x206F;
    const bool cjkPunctuation = c >= 0x3000 && c <= 0x303F && c != 0x3005 && c != 0x3006;
    const bool formsPunctuation = (c >= 0xFE10 && c <= 0xFE6F) || (c >= 0xFF00 && c <= 0xFF0F) ||
                                  (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
                                  (c >= 0xFF5B && c <= 0xFF65) || (c >= 0xFFE0 && c <= 0xFFEE);
    if (asciiSeparator || latin1Separator || generalPunctuation || cjkPunctuation || formsPunctuation)
        return CharKind::Separator;
    return CharKind::Other;
}

MatchRank RankAt(std::wstring_view name, size_t at)
{
    if (at == 0)
        return MatchRank::NameStart;
    const CharKind here = KindOf(name[at]);
    const CharKind before = KindOf(name[at - 1]);
    if (here != CharKind::Separator && (before == CharKind::Separator || before != here))
        return MatchRank::WordStart;
    return MatchRank::Inside;
}

bool SameLetter(wchar_t typed, char reading)
{
    return typed == static_cast<unsigned char>(reading) || (reading == 'v' && (typed == L'u' || typed == 0x00FC));
}

} // namespace

std::optional<MatchRank> MatchName(std::wstring_view name, std::wstring_view typed)
{
    if (typed.empty())
        return MatchRank::NameStart;
    const size_t n = name.size();
    const size_t m = typed.size();
    if (n == 0)
        return std::nullopt;
    // Backwards over the name: next[j] says whether typed[j..] can be taken
    // up from the character after the current one on; here[j] the same from
    // the current one. here[0] is a match starting at the current character.
    // Typed text is short: its two rows live on the stack.
    constexpr size_t kShortText = 64;
    char rows[2 * (kShortText + 1)];
    std::vector<char> longRows;
    char* next = rows;
    if (m > kShortText) {
        longRows.resize(2 * (m + 1));
        next = longRows.data();
    }
    char* here = next + m + 1;
    std::fill(next, next + m, 0);
    next[m] = 1; // past the name's end only the whole text taken counts
    std::optional<MatchRank> best;
    for (size_t i = n; i-- > 0;) {
        const wchar_t c = name[i];
        const Readings readings = ReadingsOf(c);
        here[m] = 1;
        for (size_t j = 0; j < m; ++j) {
            bool found = typed[j] == c && next[j + 1];
            for (int r = 0; r < readings.count && !found; ++r) {
                const std::string_view syllable = readings[r];
                for (size_t k = 0; k < syllable.size() && j + k < m && SameLetter(typed[j + k], syllable[k]); ++k) {
                    if (next[j + k + 1]) {
                        found = true;
                        break;
                    }
                }
            }
            here[j] = found;
        }
        if (here[0]) {
            const MatchRank rank = RankAt(name, i);
            if (!best || rank <= *best)
                best = rank;
        }
        std::swap(next, here);
    }
    return best;
}

} // namespace pinyin
