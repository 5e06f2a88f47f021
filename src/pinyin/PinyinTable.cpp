#include "pinyin/PinyinTable.h"

#include "pinyin/PinyinData.h"

#include <algorithm>
#include <cstring>

namespace pinyin {

std::string_view Readings::operator[](int i) const
{
    const char* text = data::kSyllables[syllables[i]];
    return {text, ::strnlen(text, data::kSyllableSize)};
}

Readings ReadingsOf(wchar_t c)
{
    Readings readings;
    // A native build's wchar_t also holds code points beyond the BMP: none is read.
    const auto wide = static_cast<std::uint32_t>(c);
    if (wide >> 16)
        return readings;
    const auto code = static_cast<std::uint16_t>(wide);
    const data::Run* end = data::kRuns + data::kRunCount;
    // The last run that starts at or before the character.
    const data::Run* run = std::upper_bound(data::kRuns, end, code,
                                            [](std::uint16_t value, const data::Run& r) { return value < r.first; });
    if (run == data::kRuns)
        return readings;
    --run;
    if (code - run->first >= run->count)
        return readings;
    const std::uint16_t value = data::kReadings[run->at + (code - run->first)];
    if (value == data::kNone)
        return readings;
    if (!(value & data::kMore)) {
        readings.syllables[readings.count++] = value;
        return readings;
    }
    for (const std::uint16_t* more = data::kMoreReadings + (value & ~data::kMore); readings.count < kMostReadings;
         ++more) {
        readings.syllables[readings.count++] = static_cast<std::uint16_t>(*more & ~data::kLast);
        if (*more & data::kLast)
            break;
    }
    return readings;
}

bool IsIdeograph(wchar_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           c == 0x3007;
}

std::size_t TableBytes()
{
    return data::kTableBytes;
}

} // namespace pinyin
