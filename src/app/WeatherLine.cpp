#include "app/WeatherLine.h"

#include "app/MainControls.h"
#include "base/Text.h"
#include "weather/WeatherFetch.h"

#include <algorithm>
#include <climits>
#include <cwctype>

namespace app {

namespace {
// The page is Chinese and encoded as such, whatever the system's code page.
constexpr unsigned kPageCodePage = 936;
constexpr POINT kFetchingAt = {70, 10};
constexpr POINT kDayAt = {10, 10};
constexpr POINT kFailedAt = {20, 10};
} // namespace

std::wstring WeatherPageAddress(std::wstring host)
{
    const auto blank = [](wchar_t c) { return std::iswspace(c) != 0; };
    host.erase(host.begin(), std::find_if_not(host.begin(), host.end(), blank));
    host.erase(std::find_if_not(host.rbegin(), host.rend(), blank).base(), host.end());
    // Anything beyond a host and a port would make a different address.
    const bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](wchar_t c) {
        return (c < 128 && std::iswalnum(c)) || c == L'.' || c == L'-' || c == L':' || c == L'[' || c == L']';
    });
    return plain ? L"http://" + host + L"/inc/07_dc269.htm" : std::wstring();
}

void WeatherLine::FetchWeather(HWND resultWindow)
{
    // A click during a fetch would otherwise start a second one.
    if (m_fetching)
        return;
    const std::wstring address = WeatherPageAddress(m_config.Read(kConfigSection, kWeatherHostKey));
    if (address.empty()) {
        m_state = 0;
        ShowWeatherText(kNoWeatherHostText, kFailedAt, false);
        return;
    }
    if (m_mailbox->Running() > 0) {
        m_state = 0;
        ShowWeatherText(kWeatherFailedText, kFailedAt, true);
        return;
    }
    ShowWeatherText(kFetchingText, kFetchingAt, false);
    m_resultWindow = resultWindow;
    m_fetching = weather::StartWeatherFetch(resultWindow, m_resultMessage, ++m_fetch, address, m_source, m_mailbox);
    if (!m_fetching) {
        m_state = 0;
        ShowWeatherText(kWeatherFailedText, kFailedAt, true);
        return;
    }
    // The HTTP layer's own time-outs do not hold everywhere (Wine waits on
    // a silent server for good): the window keeps the time itself.
    (void)::SetTimer(resultWindow, kWeatherDeadlineTimer, kWeatherFetchMs, nullptr);
}

void WeatherLine::OnDeadline()
{
    ::KillTimer(m_resultWindow, kWeatherDeadlineTimer);
    if (!m_fetching)
        return;
    ++m_fetch; // the abandoned worker's result no longer counts
    m_fetching = false;
    m_state = 0;
    ShowWeatherText(kWeatherFailedText, kFailedAt, true);
}

void WeatherLine::OnResult(WPARAM fetch)
{
    if (fetch > UINT_MAX)
        return; // no fetch has such a number
    // Taken even when late, so a result given up on is not kept.
    const std::optional<weather::WeatherResult> result = m_mailbox->Take(static_cast<unsigned>(fetch));
    if (!result || !m_fetching || fetch != m_fetch)
        return;
    ::KillTimer(m_resultWindow, kWeatherDeadlineTimer);
    m_fetching = false;
    if (!result->days) {
        m_state = 0;
        ShowWeatherText(kWeatherFailedText, kFailedAt, true);
        return;
    }
    for (size_t i = 0; i < m_days.size(); ++i)
        m_days[i] = base::Widen((*result->days)[i], kPageCodePage);
    ShowDay(1);
}

void WeatherLine::NextDay()
{
    if (m_state == 1 || m_state == 2)
        ShowDay(m_state + 1);
}

void WeatherLine::PreviousDay()
{
    if (m_state == 2 || m_state == 3)
        ShowDay(m_state - 1);
}

void WeatherLine::OnTextClick(HWND resultWindow)
{
    if (m_state == 0)
        FetchWeather(resultWindow);
}

void WeatherLine::ShowDay(int day)
{
    m_state = day;
    ShowWeatherText(m_days[static_cast<size_t>(day) - 1], kDayAt, true);
}

void WeatherLine::ShowWeatherText(const std::wstring& text, POINT at, bool flash)
{
    m_box.SetTextAt(text, at);
    // The pale highlight passes over the new text once.
    if (flash)
        m_box.FlashObject(m_highlightObjectId, kHighlightShown, kHighlightFadeMs);
}

} // namespace app
