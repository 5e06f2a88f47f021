#pragma once
// Cutting the three-day forecast out of the weather page. The page is 8-bit
// GBK text; its markers are ASCII and its cuts are byte counts, so this works
// on bytes and includes no Windows header (it is also built natively and
// fuzzed). Only the finished day texts are decoded, for display.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace weather {

// Each day sits in a cell that starts with this tag; the last three cells
// before the end of the page are today and the next two days.
inline constexpr std::string_view kCellMarker = R"(<td width="186">)";
inline constexpr std::string_view kEndMarker = "</html>";
// The colours of the date row and of the forecast row in a cell. The text
// follows two bytes after the colour (the attribute's quote and the ">").
inline constexpr std::string_view kDateMarker = "#EEEEEE";
inline constexpr std::string_view kForecastMarker = "#EEF3F8";
inline constexpr std::string_view kLineBreak = "<br>";

// The three day texts cut out of a weather page, as GBK bytes, or nothing
// when the page does not have the expected shape.
//
// A day text is "date line1 line2": the 10 bytes after the date colour, and
// the forecast's first line and the text between its first and last line
// break, both looked for in the 50 bytes after the forecast colour (the
// second line is empty when there is only one break). A 10- or 50-byte cut
// that runs past the end of its cell is cut short there; a cut that would
// start past the end, a missing marker, a forecast with no break, fewer than
// three cells or a first day shorter than 5 bytes give nothing. A piece that
// ends in the first byte of a double-byte character loses that byte.
[[nodiscard]] std::optional<std::array<std::string, 3>> ParseWeatherPage(std::string_view page);

} // namespace weather
