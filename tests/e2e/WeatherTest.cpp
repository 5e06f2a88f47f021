// The built program's forecast line against a server of the test's own on
// 127.0.0.1: a GBK page paged through three days, failures that a click
// retries, and a server that never answers while the window stays alive.

#include "LocalHttpServer.h"
#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/Configuration.h"
#include "app/MainLayout.h"
#include "app/WeatherLine.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

// One day's cell as the weather page has it.
std::wstring Cell(const std::wstring& date, const std::wstring& forecast)
{
    return L"<td width=\"186\"><table><tr><td bgcolor=\"#EEEEEE\">" + date +
           L"</td></tr><tr><td bgcolor=\"#EEF3F8\">" + forecast + L"</td></tr></table></td>";
}

// A page whose three days read "12-08 晴 -3℃～5℃" and so on, in GBK; 琝 is
// 0xAC 0x5C there, a "\" in its second byte.
std::string ForecastPage()
{
    const std::wstring page = L"<html><body><table><tr>" + Cell(L"2026-12-08", L"晴<br>-3℃～5℃<br>北风3级") +
                              Cell(L"2026-12-09", L"多云<br>-1℃～6℃<br>微风") +
                              Cell(L"2026-12-10", L"琝雨<br>2℃～7℃<br>东风") + L"</tr></table></body></html>";
    return base::NarrowExact(page, 936).value_or("");
}

class WeatherLine : public testing::Test {
protected:
    void StartWithHost(const std::wstring& host)
    {
        ASSERT_TRUE(app::IniFile(m_copy.PathOf(L"Instal.ini")).Write(app::kConfigSection, app::kWeatherHostKey, host));
        m_program = std::make_unique<RunningProgram>(m_copy);
        ASSERT_TRUE(m_program->Started());
        m_window = m_program->WaitForMainWindow();
        ASSERT_TRUE(m_window);
        m_weatherBox = ::ChildWindowFromPointEx(m_window, {app::kWeatherBoxRect.left + 2, app::kWeatherBoxRect.top + 2},
                                                CWP_SKIPINVISIBLE);
        ASSERT_TRUE(m_weatherBox && m_weatherBox != m_window);
    }
    void StartWithServer() { StartWithHost(L"127.0.0.1:" + std::to_wstring(m_server.Port())); }

    [[nodiscard]] std::wstring Shown() const
    {
        wchar_t text[128]{};
        ::GetWindowTextW(m_weatherBox, text, 128);
        return text;
    }
    [[nodiscard]] bool WaitForShown(const std::wstring& text, DWORD timeoutMs = kPatience) const
    {
        return WaitUntil([&] { return Shown() == text; }, timeoutMs);
    }
    void ClickBox(const RECT& box) const
    {
        Click(ScreenPointOf(m_window, {(box.left + box.right) / 2, (box.top + box.bottom) / 2}));
    }

    LocalHttpServer m_server;
    ProgramCopy m_copy;
    std::unique_ptr<RunningProgram> m_program;
    HWND m_window = nullptr;
    HWND m_weatherBox = nullptr;
};

} // namespace

TEST_F(WeatherLine, ShowsDayOneAndPagesThroughTheThreeDays)
{
    ASSERT_TRUE(m_server.Listening());
    m_server.Serve(200, ForecastPage());
    StartWithServer();
    const std::wstring day1 = L"2026-12-08 晴 -3℃～5℃", day2 = L"2026-12-09 多云 -1℃～6℃",
                       day3 = L"2026-12-10 琝雨 2℃～7℃";
    ASSERT_TRUE(WaitForShown(day1)) << "shown: " << base::ToUtf8(Shown());

    ClickBox(app::kNextBoxRect);
    EXPECT_TRUE(WaitForShown(day2));
    ClickBox(app::kNextBoxRect);
    EXPECT_TRUE(WaitForShown(day3));
    ClickBox(app::kNextBoxRect);
    ::Sleep(300);
    EXPECT_EQ(Shown(), day3) << "there is no fourth day";
    ClickBox(app::kPreviousBoxRect);
    EXPECT_TRUE(WaitForShown(day2));
    ClickBox(app::kPreviousBoxRect);
    EXPECT_TRUE(WaitForShown(day1));
    ClickBox(app::kWeatherBoxRect);
    ::Sleep(300);
    EXPECT_EQ(m_server.Requests(), 1) << "a shown forecast is not fetched again";
}

TEST_F(WeatherLine, FailuresShowTheRetryTextAndAClickRetries)
{
    ASSERT_TRUE(m_server.Listening());
    m_server.Serve(404, ForecastPage()); // a good page behind a bad status is still a failure
    StartWithServer();
    ASSERT_TRUE(WaitForShown(app::kWeatherFailedText));

    m_server.Serve(200, "<html><body>maintenance</body></html>");
    ClickBox(app::kWeatherBoxRect);
    ASSERT_TRUE(WaitUntil([&] { return m_server.Requests() == 2; }, kPatience));
    EXPECT_TRUE(WaitForShown(app::kWeatherFailedText)) << "a page without its markers";

    m_server.Serve(200, ForecastPage());
    ClickBox(app::kWeatherBoxRect);
    EXPECT_TRUE(WaitForShown(L"2026-12-08 晴 -3℃～5℃"));
}

TEST_F(WeatherLine, AClosedPortFailsAndNoHostSaysWhatToSet)
{
    const unsigned short closedPort = [] {
        const LocalHttpServer gone;
        return gone.Port();
    }();
    StartWithHost(L"127.0.0.1:" + std::to_wstring(closedPort));
    EXPECT_TRUE(WaitForShown(app::kWeatherFailedText));
    ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    ASSERT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));

    StartWithHost(L"");
    EXPECT_TRUE(WaitForShown(app::kNoWeatherHostText));
}

TEST_F(WeatherLine, AServerThatNeverAnswersNeverFreezesTheWindow)
{
    ASSERT_TRUE(m_server.Listening());
    m_server.StaySilent();
    StartWithServer();
    ASSERT_TRUE(WaitForShown(app::kFetchingText));
    ASSERT_TRUE(WaitUntil([&] { return m_server.Requests() == 1; }, kPatience));
    ClickBox(app::kWeatherBoxRect);
    ::Sleep(300);
    EXPECT_EQ(m_server.Requests(), 1) << "no second fetch while one runs";

    // The window answers within 100 ms all the while the fetch waits.
    const ULONGLONG start = ::GetTickCount64();
    DWORD_PTR answer = 0;
    int slow = 0;
    while (Shown() != app::kWeatherFailedText && ::GetTickCount64() - start < 30000) {
        if (!::SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer))
            ++slow;
        ::Sleep(50);
    }
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_EQ(slow, 0);
    EXPECT_EQ(Shown(), app::kWeatherFailedText) << "the fetch gives up";
    EXPECT_GE(waited, 10000u) << "gave up long before its time-out";

    // The fetch given up on still hangs: a click starts no second one beside it.
    ClickBox(app::kWeatherBoxRect);
    ::Sleep(500);
    EXPECT_EQ(m_server.Requests(), 1) << "a second worker joined the stuck one";
    EXPECT_EQ(Shown(), app::kWeatherFailedText);

    // Closing while it hangs does not wait for it.
    const ULONGLONG closing = ::GetTickCount64();
    ClickBox(app::kCloseBoxRect);
    EXPECT_EQ(m_program->WaitForExit(kPatience), std::optional<DWORD>(0));
    EXPECT_LT(::GetTickCount64() - closing, 3000u);
}
