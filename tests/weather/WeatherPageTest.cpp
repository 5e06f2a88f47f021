#include "weather/WeatherPage.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using weather::ParseWeatherPage;
using Days = std::array<std::string, 3>;

// GBK bytes. 琝 and 乗 end in 0x5C, the byte of "\"; 多 ends in 0xE0, which
// is also a lead byte.
const std::string kSunny = "\xC7\xE7";                                   // 晴
const std::string kCloudy = "\xB6\xE0\xD4\xC6";                          // 多云
const std::string kTemperatures = "-3\xA1\xE6\xA1\xAB" "5\xA1\xE6";      // -3℃～5℃
const std::string kWind = "\xB1\xB1\xB7\xE7" "3\xBC\xB6";                // 北风3级
const std::string kBackslashTrails = "\xAC\x5C\x81\x5C";                 // 琝乗
const std::string kLightRainThenCloudy = "\xD0\xA1\xD3\xEA\xD7\xAA" + kCloudy; // 小雨转多云

std::string Cell(std::string_view date, std::string_view forecast)
{
    return std::string(R"(<td width="186"><table><tr><td bgcolor="#EEEEEE">)")
        .append(date)
        .append(R"(</td></tr><tr><td bgcolor="#EEF3F8">)")
        .append(forecast)
        .append("</td></tr></table></td>");
}

std::string Page(const std::vector<std::string>& cells)
{
    std::string page = "<html><head><title>weather</title></head><body><table><tr>";
    for (const auto& cell : cells)
        page += cell;
    return page + "</tr></table></body></html>\r\n";
}

// Three days with the given first-day cell, the other two ordinary.
std::string PageStartingWith(const std::string& firstCell)
{
    return Page({firstCell, Cell("2026-12-09", kCloudy + "<br>" + kWind), Cell("2026-12-10", kSunny + "<br>")});
}

std::string FirstDay(const std::string& page)
{
    const auto days = ParseWeatherPage(page);
    return days ? (*days)[0] : "(nothing)";
}

TEST(WeatherPageTest, LastThreeCellsGiveDateFirstLineAndSecondLine)
{
    const std::string page = Page({
        Cell("2026-12-07", kCloudy + "<br>" + kTemperatures + "<br><!-- </html> -->"),
        Cell("2026-12-08", kSunny + "<br>" + kTemperatures + "<br>" + kWind),
        Cell("2026-12-09", kCloudy + "<br>" + kWind + "<br>" + kBackslashTrails + "<br>"),
        Cell("2026-12-10", kBackslashTrails + "<br>" + kWind),
    });
    const Days expected{"2026-12-08 " + kSunny + " " + kTemperatures,
                        "2026-12-09 " + kCloudy + " " + kWind + "<br>" + kBackslashTrails,
                        "2026-12-10 " + kBackslashTrails + " "};
    EXPECT_EQ(ParseWeatherPage(page), expected);
    EXPECT_EQ(ParseWeatherPage(page + "<!-- mirror --></html>"), expected) << "the last end of page counts";
}

TEST(WeatherPageTest, ForecastIsCutAfterFiftyBytesBeforeLookingForLineBreaks)
{
    // Line breaks at bytes 10 and 24 or 25, and the third at 46 (wholly inside
    // the 50 bytes) or at 47 (its ">" outside).
    const std::string inside = "-13\xA1\xE6\xA1\xAB" "5\xA1\xE6";
    const std::string outside = "-13\xA1\xE6\xA1\xAB" "15\xA1\xE6";
    const std::string wind = "\xB1\xB1\xB7\xE7" "3\xBC\xB6\xD7\xAA\xB6\xAB\xC4\xCF\xB7\xE7" "4\xBC\xB6"; // 北风3级转东南风4级
    for (const auto& [second, line2] : {std::pair{inside, inside + "<br>" + wind}, {outside, outside}}) {
        const std::string forecast = kLightRainThenCloudy + "<br>" + second + "<br>" + wind + "<br>";
        EXPECT_EQ(FirstDay(PageStartingWith(Cell("2026-12-08", forecast))), "2026-12-08 " + kLightRainThenCloudy + " " + line2);
    }
    const std::string padding(46, '.');
    EXPECT_EQ(FirstDay(PageStartingWith(Cell("2026-12-08", padding + "<br>"))), "2026-12-08 " + padding + " ");
    EXPECT_EQ(FirstDay(PageStartingWith(Cell("2026-12-08", padding + ".<br>"))), "(nothing)") << "no whole break";
}

TEST(WeatherPageTest, CutsRunningPastTheCellEndStopThereAndCutsStartingPastItGiveNothing)
{
    const std::string forecastFirst = R"(<td width="186"><td bgcolor="#EEF3F8">)" + kSunny + "<br>" + kWind;
    EXPECT_EQ(FirstDay(PageStartingWith(forecastFirst + R"(<td bgcolor="#EEEEEE">2026-12)")),
              "2026-12 " + kSunny + " ");
    EXPECT_EQ(FirstDay(PageStartingWith(forecastFirst + R"(<br><td bgcolor="#EEEEEE">)")), " " + kSunny + " " + kWind);
    EXPECT_EQ(FirstDay(PageStartingWith(forecastFirst + R"(<td bgcolor="#EEEEEE")")), "(nothing)");
    // A first day of 5 bytes is enough, one of 4 is not.
    EXPECT_EQ(FirstDay(PageStartingWith(R"(<td width="186"><td bgcolor="#EEF3F8"><br>abc<br>#EEEEEE">)")), "  abc");
    EXPECT_EQ(FirstDay(PageStartingWith(R"(<td width="186"><td bgcolor="#EEF3F8"><br>ab<br>#EEEEEE">)")), "(nothing)");
}

TEST(WeatherPageTest, PagesOfAnotherShapeGiveNothing)
{
    const std::string day = Cell("2026-12-08", kSunny + "<br>" + kWind);
    const std::string page = Page({day, day, day});
    ASSERT_TRUE(ParseWeatherPage(page));
    const auto without = [&](std::string_view text) {
        std::string cut = page;
        const auto at = cut.rfind(text);
        return cut.erase(at, text.size());
    };
    const std::pair<const char*, std::string> pages[] = {
        {"empty", ""},
        {"no end of page", without("</html>")},
        {"end of page before the cells", "<html></html>" + day + day + day},
        {"no cells", Page({})},
        {"one cell", Page({day})},
        {"two cells", Page({day, day})},
        {"third cell without a date", without(R"(#EEEEEE)")},
        {"third cell without a forecast", without(R"(#EEF3F8)")},
        {"third forecast without a break", without("<br>")},
        {"middle cell of another width", Page({day, R"(<td width="168">)" + day.substr(weather::kCellMarker.size()), day})},
    };
    for (const auto& [name, text] : pages)
        EXPECT_FALSE(ParseWeatherPage(text)) << name;
}

TEST(WeatherPageTest, CutThroughACharacterDropsTheHalfAndWholeCharactersPass)
{
    // 12月8日多云: the tenth byte is the first half of 云.
    const std::string date = "12\xD4\xC2" "8\xC8\xD5" + kCloudy;
    const std::string wholeDate = "2026-12-" + kCloudy.substr(0, 2);
    const std::string forecast = kSunny + "\xB6<br>" + kBackslashTrails + kBackslashTrails + "<br>";
    EXPECT_EQ(FirstDay(PageStartingWith(Cell(date, forecast))),
              date.substr(0, 9) + " " + kSunny + " " + kBackslashTrails + kBackslashTrails);
    EXPECT_EQ(FirstDay(PageStartingWith(Cell(wholeDate, kBackslashTrails + "<br>"))), wholeDate + " " + kBackslashTrails + " ");
    EXPECT_EQ(FirstDay(PageStartingWith(Cell(kBackslashTrails + kBackslashTrails + "\x81\x5C", "a<br>"))),
              kBackslashTrails + kBackslashTrails + "\x81\x5C a ");
}

} // namespace
