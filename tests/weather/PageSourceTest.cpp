// The HTTP fetch against a server of the test's own on 127.0.0.1.

#include "weather/PageSource.h"

#include "LocalHttpServer.h"

#include <gtest/gtest.h>

using testing_support::LocalHttpServer;

TEST(PageSourceTest, TakesOnlyWholeSuccessfulPagesWithinTheirLimits)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.Listening());
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/inc/07_dc269.htm";
    weather::WinInetPageSource source(5000, 1000);

    std::string page(1000, 'x');
    page[10] = '\0'; // bytes, not text
    page[500] = '\xAC';
    server.Serve(200, page);
    EXPECT_EQ(source.Fetch(url), page);
    server.Serve(200, std::string(1001, 'x'));
    EXPECT_EQ(source.Fetch(url), std::nullopt) << "more than the limit";
    server.Serve(404, page);
    EXPECT_EQ(source.Fetch(url), std::nullopt) << "a 404 page is no forecast";
    server.Serve(204, "");
    EXPECT_EQ(source.Fetch(url), std::optional<std::string>("")) << "any 2xx is an answer";

    const unsigned short closed = [] {
        const LocalHttpServer gone;
        return gone.Port();
    }();
    EXPECT_EQ(source.Fetch(L"http://127.0.0.1:" + std::to_wstring(closed) + L"/"), std::nullopt);
}
