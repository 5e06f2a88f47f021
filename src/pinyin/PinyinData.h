#pragma once
// The generated reading table (PinyinData.cpp, made by
// scripts/make-pinyin-table.py). Code points come in runs; each code point
// of a run has one 16-bit value in kReadings:
//   kNone                 no reading;
//   below kMore           its one reading, a syllable number;
//   kMore | n             its readings start at kMoreReadings[n], the last
//                         one marked with kLast.
// Syllables are toneless, ü spelled v ("lv"), NUL-padded.

#include <cstddef>
#include <cstdint>

namespace pinyin::data {

inline constexpr std::size_t kSyllableSize = 7;
inline constexpr std::uint16_t kNone = 0xFFFF;
inline constexpr std::uint16_t kMore = 0x8000;
inline constexpr std::uint16_t kLast = 0x8000;

struct Run {
    std::uint16_t first; // code point
    std::uint16_t count;
    std::uint16_t at;    // index in kReadings of the run's first code point
};

extern const char kSyllables[][kSyllableSize];
extern const std::size_t kSyllableCount;
extern const Run kRuns[];
extern const std::size_t kRunCount;
extern const std::uint16_t kReadings[];
extern const std::uint16_t kMoreReadings[];
// The sizeof of the arrays above together.
extern const std::size_t kTableBytes;

} // namespace pinyin::data
