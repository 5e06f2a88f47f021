#pragma once
// The one-line forecast in 动画框1: fetched on a worker at start, paged
// between three days with 动画框7 and 动画框6, fetched again by a click on
// the failure text.

#include "app/AppMessages.h"
#include "app/Configuration.h"
#include "toolkit/AnimationBox.h"
#include "weather/PageSource.h"
#include "weather/WeatherMailbox.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>

namespace app {

inline constexpr wchar_t kFetchingText[] = L"正在连接网络...";
inline constexpr wchar_t kWeatherFailedText[] = L"网络连接失败,单击此处重新连接!";
inline constexpr wchar_t kNoWeatherHostText[] = L"请在Instal.ini设置天气主机";
// The whole fetch: connecting, waiting for the answer and reading it.
inline constexpr UINT kWeatherFetchMs = 15000;

// The page's address for a configured host ("host" or "host:port"); empty
// when the value is not a plain host name.
[[nodiscard]] std::wstring WeatherPageAddress(std::wstring host);

class WeatherLine {
public:
    // resultWindow receives resultMessage and passes its
    // wParam to OnResult. Everything is borrowed.
    WeatherLine(const IniFile& config, toolkit::AnimationBox& box, const int& highlightObjectId, UINT resultMessage)
        : m_config(config), m_box(box), m_highlightObjectId(highlightObjectId), m_resultMessage(resultMessage)
    {
    }

    void SetPageSource(std::shared_ptr<weather::PageSource> source) { m_source = std::move(source); }

    // Starts a fetch, unless one is running; with no host configured it
    // says what to set instead. resultWindow also runs the fetch's deadline
    // timer, kWeatherDeadlineTimer, and passes it to OnDeadline.
    //
    // A fetch given up on at its deadline may still hang in the network
    // layer. Until it ends no other starts, so stuck workers never pile up:
    // the line goes on saying the connection failed, which is still true.
    void FetchWeather(HWND resultWindow);
    // The fetch numbered `fetch` has left its result. A number that is not
    // the running fetch's, or whose result is not there, changes nothing.
    void OnResult(WPARAM fetch);
    // The fetch has taken too long: it counts as failed, and its result,
    // should it still come, is dropped.
    void OnDeadline();

    void NextDay();
    void PreviousDay();
    // A click on the text: after a failure, try again.
    void OnTextClick(HWND resultWindow);

    // 0: no forecast on display; 1 to 3: that day's text is.
    [[nodiscard]] int State() const noexcept { return m_state; }
    [[nodiscard]] bool Fetching() const noexcept { return m_fetching; }

private:
    void ShowWeatherText(const std::wstring& text, POINT at, bool flash);
    void ShowDay(int day);

    const IniFile& m_config;
    toolkit::AnimationBox& m_box;
    const int& m_highlightObjectId; // filled in once the box's object exists
    UINT m_resultMessage;
    std::shared_ptr<weather::PageSource> m_source = std::make_shared<weather::WinInetPageSource>();
    // Shared with the workers: what is left in it when the last lets go goes with it.
    std::shared_ptr<weather::WeatherMailbox> m_mailbox = std::make_shared<weather::WeatherMailbox>();
    int m_state = 0;
    bool m_fetching = false;
    unsigned m_fetch = 0; // numbers the fetches, so a late result is known as such
    HWND m_resultWindow = nullptr; // not owned: the window the running fetch reports to
    std::array<std::wstring, 3> m_days;
};

} // namespace app
