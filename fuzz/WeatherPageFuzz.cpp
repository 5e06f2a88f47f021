// Any bytes as a weather page: the parser must never crash, throw or read
// outside the page, and whatever it returns must fit the cuts it makes.
// Built natively (the parser includes no Windows header); scripts/bench
// builds and runs it.

#include "weather/WeatherPage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// The date, a space, the first line, a space, the second line.
constexpr std::size_t kLongestDay = 10 + 1 + 50 + 1 + 50;
constexpr std::size_t kShortestFirstDay = 5;

// Read from the start, as GBK: does the text end in half a character?
bool EndsInLeadByte(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x81 || c == 0xFF) {
            ++i;
            continue;
        }
        if (i + 1 == text.size())
            return true;
        const auto next = static_cast<unsigned char>(text[i + 1]);
        i += next >= 0x40 && next != 0x7F && next != 0xFF ? 2 : 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const auto days = weather::ParseWeatherPage(page);
    if (!days)
        return 0;
    if ((*days)[0].size() < kShortestFirstDay)
        std::abort();
    for (const auto& day : *days) {
        if (day.size() > kLongestDay || EndsInLeadByte(day))
            std::abort();
    }
    return 0;
}
