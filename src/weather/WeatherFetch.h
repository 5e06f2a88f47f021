#pragma once
// The weather fetch on a worker thread of its own. The worker only fetches
// and parses; it touches no window, leaves its result in the mailbox and
// says so in one posted message.

#include "weather/PageSource.h"
#include "weather/WeatherMailbox.h"

#include <windows.h>

#include <memory>
#include <string>

namespace weather {

// Starts the worker: it fetches url from source, parses the page, leaves
// the result in mailbox under `fetch` and posts `message` to target with
// `fetch` in wParam (lParam is 0). The worker and the
// mailbox's other holders share it, so a result whose window is gone goes
// with the mailbox. False when no thread could start.
[[nodiscard]] bool StartWeatherFetch(HWND target, UINT message, unsigned fetch, std::wstring url,
                                     std::shared_ptr<PageSource> source, std::shared_ptr<WeatherMailbox> mailbox);

} // namespace weather
