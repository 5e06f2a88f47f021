#include "weather/WeatherFetch.h"

#include "base/AppMessages.h"
#include "weather/WeatherPage.h"

#include <system_error>
#include <thread>

namespace weather {

namespace {

void FetchAndPost(HWND target, unsigned fetch, const std::wstring& url, PageSource& source) noexcept
{
    try {
        auto result = std::make_unique<WeatherResult>();
        if (std::optional<std::string> page = source.Fetch(url))
            result->days = ParseWeatherPage(*page);
        if (::PostMessageW(target, base::kWeatherResultMessage, fetch, reinterpret_cast<LPARAM>(result.get())))
            (void)result.release(); // the window thread owns it now
    } catch (...) {
        // Out of memory on a worker: the window simply gets no forecast.
    }
}

} // namespace

bool StartWeatherFetch(HWND target, unsigned fetch, std::wstring url, std::shared_ptr<PageSource> source)
{
    try {
        // Detached: closing the program must not wait for a slow server.
        std::thread([target, fetch, url = std::move(url), source = std::move(source)] {
            FetchAndPost(target, fetch, url, *source);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

std::unique_ptr<WeatherResult> TakeWeatherResult(LPARAM lParam) noexcept
{
    return std::unique_ptr<WeatherResult>(reinterpret_cast<WeatherResult*>(lParam));
}

} // namespace weather
