// Any UTF-16 text as a name and typed text: the matcher must never crash or
// read outside them, and it must find what the plain search finds, ranked
// at least as well. Built natively (no Windows header); scripts/bench builds
// and runs it.

#include "pinyin/PinyinMatch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Little-endian UTF-16 units; the first unit says how many belong to the name.
    std::wstring units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    if (units.empty())
        return 0;
    const std::size_t split = std::min<std::size_t>(units[0] % 64, units.size() - 1);
    const std::wstring name = units.substr(1, split);
    const std::wstring typed = units.substr(1 + split);
    const auto rank = pinyin::MatchName(name, typed);
    const std::size_t plain = name.find(typed);
    if (plain != std::wstring::npos && !rank)
        std::abort();
    if (plain == 0 && rank != pinyin::MatchRank::NameStart)
        std::abort();
    return 0;
}
