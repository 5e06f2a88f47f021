#include "weather/WeatherPage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using weather::ParseWeatherPage;

// GBK bytes. 琝 and 乗 end in 0x5C, the byte of "\"; 多 ends in 0xE0, which
// is also a lead byte.
const std::string kSunny = "\xC7\xE7";                              // 晴
const std::string kCloudy = "\xB6\xE0\xD4\xC6";                     // 多云
const std::string kTemperatures = "-3\xA1\xE6\xA1\xAB" "5\xA1\xE6"; // -3℃～5℃
const std::string kWind = "\xB1\xB1\xB7\xE7" "3\xBC\xB6";           // 北风3级
const std::string kBackslashTrails = "\xAC\x5C\x81\x5C";            // 琝乗
const std::string kDateColour = R"(<td bgcolor="#EEEEEE">)";
const std::string kForecastColour = R"(<td bgcolor="#EEF3F8">)";

std::string Cell(const std::string& date, const std::string& forecast)
{
    return R"(<td width="186"><table><tr>)" + kDateColour + date + "</td></tr><tr>" + kForecastColour + forecast +
           "</td></tr></table></td>";
}

std::string Page(const std::vector<std::string>& cells)
{
    std::string page = "<html><head><title>weather</title></head><body><table><tr>";
    for (const auto& cell : cells)
        page += cell;
    return page + "</tr></table></body></html>\r\n";
}

const std::string kDay = Cell("2026-12-09", kCloudy + "<br>" + kWind);

TEST(WeatherPageTest, LastThreeCellsGiveDateFirstLineAndSecondLine)
{
    const std::string page = Page({
        Cell("2026-12-07", kCloudy + "<br>" + kTemperatures + "<br><!-- </html> -->"),
        Cell("2026-12-08", kSunny + "<br>" + kTemperatures + "<br>" + kWind),
        Cell("2026-12-09", kCloudy + "<br>" + kWind + "<br>" + kBackslashTrails + "<br>"),
        Cell("2026-12-10", kBackslashTrails + "<br>" + kWind),
    });
    const std::array<std::string, 3> expected{"2026-12-08 " + kSunny + " " + kTemperatures,
                                              "2026-12-09 " + kCloudy + " " + kWind + "<br>" + kBackslashTrails,
                                              "2026-12-10 " + kBackslashTrails + " "};
    EXPECT_EQ(ParseWeatherPage(page), expected);
    EXPECT_EQ(ParseWeatherPage(page + "<!-- mirror --></html>"), expected) << "the last end of page counts";
}

TEST(WeatherPageTest, FirstDayCutsAndTheirEdges)
{
    const std::string rain = "\xD0\xA1\xD3\xEA\xD7\xAA" + kCloudy; // 小雨转多云
    const std::string windShift = kWind + "\xD7\xAA\xB6\xAB\xC4\xCF\xB7\xE7" "4\xBC\xB6"; // 北风3级转东南风4级
    // -13℃～5℃ and -13℃～15℃ put the forecast's third break at byte 46
    // (wholly inside its 50 bytes) or at 47 (its ">" outside).
    const std::string range10 = "-13\xA1\xE6\xA1\xAB" "5\xA1\xE6", range11 = "-13\xA1\xE6\xA1\xAB" "15\xA1\xE6";
    const std::string forecastFirst = R"(<td width="186">)" + kForecastColour + kSunny + "<br>" + kWind;
    const std::string dots(46, '.');
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {Cell("2026-12-08", rain + "<br>" + range10 + "<br>" + windShift + "<br>"),
         "2026-12-08 " + rain + " " + range10 + "<br>" + windShift},
        {Cell("2026-12-08", rain + "<br>" + range11 + "<br>" + windShift + "<br>"), "2026-12-08 " + rain + " " + range11},
        {Cell("2026-12-08", dots + "<br>"), "2026-12-08 " + dots + " "},
        {Cell("2026-12-08", dots + ".<br>"), std::nullopt},
        // Cuts running past the cell's end stop there; one that would start past it fails.
        {forecastFirst + kDateColour + "2026-12", "2026-12 " + kSunny + " "},
        {forecastFirst + "<br>" + kDateColour, " " + kSunny + " " + kWind},
        {forecastFirst + R"(<td bgcolor="#EEEEEE")", std::nullopt},
        // A first day of 5 bytes is enough, one of 4 is not.
        {R"(<td width="186">)" + kForecastColour + "<br>abc<br>" + kDateColour, "  abc"},
        {R"(<td width="186">)" + kForecastColour + "<br>ab<br>" + kDateColour, std::nullopt},
        // 12月8日多云 cut after 10 bytes, and 晴 with a stray lead byte.
        {Cell("12\xD4\xC2" "8\xC8\xD5" + kCloudy, kSunny + "\xB6<br>" + kBackslashTrails + "<br>"),
         "12\xD4\xC2" "8\xC8\xD5\xB6\xE0 " + kSunny + " " + kBackslashTrails},
        {Cell("2026-12-\xB6\xE0", "a<br>"), "2026-12-\xB6\xE0 a "},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto days = ParseWeatherPage(Page({cases[i].first, kDay, kDay}));
        EXPECT_EQ(days ? std::optional((*days)[0]) : std::nullopt, cases[i].second) << "case " << i;
    }
}

TEST(WeatherPageTest, PagesOfAnotherShapeGiveNothing)
{
    const std::string page = Page({kDay, kDay, kDay});
    ASSERT_TRUE(ParseWeatherPage(page));
    const auto without = [&](const std::string& text) { return std::string(page).erase(page.rfind(text), text.size()); };
    const std::pair<const char*, std::string> pages[] = {
        {"no end of page", without("</html>")},
        {"end of page before the cells", "<html></html>" + kDay + kDay + kDay},
        {"no cells", Page({})},
        {"two cells", Page({kDay, kDay})},
        {"third cell without a date", without("#EEEEEE")},
        {"third cell without a forecast", without("#EEF3F8")},
        {"third forecast without a break", without("<br>")},
    };
    for (const auto& [name, text] : pages)
        EXPECT_FALSE(ParseWeatherPage(text)) << name;
}

} // namespace
