// The weather worker's hand-over: a number in the message, the result in a
// mailbox that goes when its last holder lets go.

#include "weather/WeatherFetch.h"

#include "base/Handles.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Whatever number the window hands the worker.
constexpr UINT kResultMessage = WM_APP + 9;

class HeldPageSource final : public weather::PageSource {
public:
    ~HeldPageSource() override { ::CloseHandle(open); }
    std::optional<std::string> Fetch(const std::wstring&) override
    {
        ::WaitForSingleObject(open, 20000);
        return "<html>no forecast here</html>";
    }
    HANDLE open = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

template <typename Condition>
bool WaitUntil(Condition done)
{
    for (const DWORD start = ::GetTickCount(); !done(); ::Sleep(5)) {
        if (::GetTickCount() - start > 10000)
            return false;
    }
    return true;
}

} // namespace

TEST(WeatherFetchTest, AResultTheWindowNeverTakesGoesWithTheMailbox)
{
    // The window closes after the news was posted, or before the worker ends.
    for (const bool postedFirst : {true, false}) {
        base::UniqueWindow window(
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        const auto source = std::make_shared<HeldPageSource>();
        auto mailbox = std::make_shared<weather::WeatherMailbox>();
        const std::weak_ptr<weather::WeatherMailbox> watch = mailbox;
        ASSERT_TRUE(weather::StartWeatherFetch(window.get(), kResultMessage, 7, L"http://127.0.0.1:9/", source, mailbox));
        EXPECT_EQ(mailbox->Running(), 1);
        if (postedFirst) {
            ::SetEvent(source->open);
            MSG msg{};
            ASSERT_TRUE(WaitUntil([&] {
                return ::PeekMessageW(&msg, window.get(), kResultMessage, kResultMessage,
                                      PM_NOREMOVE) != FALSE;
            }));
            EXPECT_EQ(std::pair(msg.wParam, msg.lParam), std::pair(WPARAM{7}, LPARAM{0}))
                << "the message carries nothing to free";
            EXPECT_EQ(std::pair(mailbox->Running(), mailbox->Waiting()), std::pair(0, size_t{1}));
        }
        window.reset();
        mailbox.reset();
        ::SetEvent(source->open);
        EXPECT_TRUE(WaitUntil([&] { return watch.expired(); })) << (postedFirst ? "posted" : "not posted");
    }
}
