#pragma once
// The pinyin readings of the Chinese characters GBK holds, built into the
// program. No Windows header: plain data and lookups.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pinyin {

// No character in the table has more.
inline constexpr int kMostReadings = 8;

// A character's toneless readings in lower case, ü spelled "v", the most
// common first: 重 reads "zhong", "chong", "tong"; 绿 "lv", "lu".
struct Readings {
    int count = 0;
    std::uint16_t syllables[kMostReadings]{};

    [[nodiscard]] std::string_view operator[](int i) const;
};

// Empty for characters without a reading (everything but the ideographs).
[[nodiscard]] Readings ReadingsOf(wchar_t c);
// Whether the character is a Chinese ideograph, read or not.
[[nodiscard]] bool IsIdeograph(wchar_t c);
// What the table takes in the executable.
[[nodiscard]] std::size_t TableBytes();

} // namespace pinyin
