#pragma once
// The weather fetch on a worker thread of its own. The worker only fetches
// and parses; it touches no window and no shared state, and hands its
// result over in one posted message.

#include "weather/PageSource.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace weather {

struct WeatherResult {
    // The three day texts as the page has them (GBK bytes); nothing on failure.
    std::optional<std::array<std::string, 3>> days;
};

// Starts the worker: it fetches url from source, parses the page and posts
// base::kWeatherResultMessage to target with `fetch` in wParam and a
// WeatherResult in lParam. A result whose window is gone is dropped. False
// when no thread could start.
[[nodiscard]] bool StartWeatherFetch(HWND target, unsigned fetch, std::wstring url,
                                     std::shared_ptr<PageSource> source);

// Takes over the result a kWeatherResultMessage carries.
[[nodiscard]] std::unique_ptr<WeatherResult> TakeWeatherResult(LPARAM lParam) noexcept;

} // namespace weather
