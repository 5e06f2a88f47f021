#include "weather/WeatherFetch.h"

#include "weather/WeatherPage.h"

#include <thread>

namespace weather {

namespace {

void FetchAndPost(HWND target, UINT message, unsigned fetch, const std::wstring& url, PageSource& source,
                  WeatherMailbox& mailbox) noexcept
{
    try {
        WeatherResult result;
        if (std::optional<std::string> page = source.Fetch(url))
            result.days = ParseWeatherPage(*page);
        mailbox.Put(fetch, std::move(result));
    } catch (...) {
        // Out of memory on a worker: the window's deadline counts the fetch as failed.
    }
    // Ended before the news goes out, so the window never sees a finished
    // fetch still counted as running.
    mailbox.WorkerEnded();
    (void)::PostMessageW(target, message, fetch, 0);
}

} // namespace

bool StartWeatherFetch(HWND target, UINT message, unsigned fetch, std::wstring url, std::shared_ptr<PageSource> source,
                       std::shared_ptr<WeatherMailbox> mailbox)
{
    if (!source || !mailbox)
        return false;
    mailbox->WorkerStarting();
    try {
        // Detached: closing the program must not wait for a slow server.
        std::thread([target, message, fetch, url = std::move(url), source, mailbox] {
            FetchAndPost(target, message, fetch, url, *source, *mailbox);
        }).detach();
        return true;
    } catch (...) {
        // No thread (or no memory for one): nothing runs, nothing is counted.
        mailbox->WorkerEnded();
        return false;
    }
}

} // namespace weather
