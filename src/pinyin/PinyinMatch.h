#pragma once
// Whether typed text finds a name, spelled as it is or in pinyin. No
// Windows header: plain text rules.
//
// The text must be taken up by a run of consecutive characters of the
// name. A Chinese character takes a non-empty start of one of its readings
// ("w", "wei" or "weix" for 微信's 微) or itself; any other character takes
// itself. So "wx", "weixin" and "wxin" all find 微信, "qqyy" and "qq音乐" QQ音乐.

#include <optional>
#include <string_view>

namespace pinyin {

// Where a match begins, best first.
enum class MatchRank {
    NameStart,
    WordStart, // after a space or punctuation, or where Latin and Chinese meet
    Inside,
};

// The best place the typed text matches the name, or none. Both come folded
// as the caller compares names (Latin letters in lower case); "u" and "ü"
// in the typed text also stand for the "v" of a reading.
[[nodiscard]] std::optional<MatchRank> MatchName(std::wstring_view name, std::wstring_view typed);

} // namespace pinyin
