#include "weather/WeatherPage.h"

#include <cstddef>
#include <utility>

namespace weather {

namespace {

constexpr auto kNotFound = std::string_view::npos;
constexpr std::size_t kTagClose = 2; // the attribute's closing quote and ">"
constexpr std::size_t kDateLength = 10;
constexpr std::size_t kForecastLength = 50;
constexpr std::size_t kShortestFirstDay = 5;

bool IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool IsTrailByte(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// A byte cut can end between the two bytes of a character. Whether the last
// byte is a lone lead byte depends on everything before it (trail bytes use
// the lead range too), so the piece is read from its start.
std::string_view WithoutHalfCharacter(std::string_view piece)
{
    std::size_t i = 0;
    while (i < piece.size()) {
        if (!IsLeadByte(static_cast<unsigned char>(piece[i]))) {
            ++i;
        } else if (i + 1 == piece.size()) {
            return piece.substr(0, i);
        } else {
            i += IsTrailByte(static_cast<unsigned char>(piece[i + 1])) ? 2 : 1;
        }
    }
    return piece;
}

// Up to length bytes of the cell from the text that follows marker; nothing
// when the marker is missing or the cell ends before its text would start.
std::optional<std::string_view> TextAfter(std::string_view cell, std::string_view marker, std::size_t length)
{
    const auto found = cell.find(marker);
    if (found == kNotFound)
        return std::nullopt;
    const auto start = found + marker.size() + kTagClose;
    if (start > cell.size())
        return std::nullopt;
    return cell.substr(start, length);
}

std::optional<std::string> DayText(std::string_view cell)
{
    const auto date = TextAfter(cell, kDateMarker, kDateLength);
    const auto forecast = TextAfter(cell, kForecastMarker, kForecastLength);
    if (!date || !forecast)
        return std::nullopt;
    const auto first = forecast->find(kLineBreak);
    if (first == kNotFound)
        return std::nullopt;
    const auto last = forecast->rfind(kLineBreak);
    const auto afterFirst = first + kLineBreak.size();
    const auto line1 = forecast->substr(0, first);
    const auto line2 = last == first ? std::string_view() : forecast->substr(afterFirst, last - afterFirst);

    std::string text(WithoutHalfCharacter(*date));
    text += ' ';
    text += WithoutHalfCharacter(line1);
    text += ' ';
    text += WithoutHalfCharacter(line2);
    return text;
}

} // namespace

std::optional<std::array<std::string, 3>> ParseWeatherPage(std::string_view page)
{
    const auto begin = page.find(kCellMarker);
    const auto end = page.rfind(kEndMarker);
    if (begin == kNotFound || end == kNotFound || end < begin)
        return std::nullopt;
    page = page.substr(begin, end - begin);

    // Taken from the end, so any cells before the last three are dropped.
    std::array<std::string_view, 3> cells;
    for (auto k = cells.size(); k-- > 0;) {
        const auto start = page.rfind(kCellMarker);
        if (start == kNotFound)
            return std::nullopt;
        cells[k] = page.substr(start);
        page = page.substr(0, start);
    }

    std::array<std::string, 3> days;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        auto day = DayText(cells[i]);
        if (!day)
            return std::nullopt;
        days[i] = std::move(*day);
    }
    if (days[0].size() < kShortestFirstDay)
        return std::nullopt;
    return days;
}

} // namespace weather
