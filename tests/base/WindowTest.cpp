#include "base/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

class ProbeWindow : public base::Window {
public:
    bool Create()
    {
        return CreateFrom({.name = L"QuilleryTestProbe"},
                          {.title = L"probe", .style = WS_POPUP, .x = 0, .y = 0, .width = 50, .height = 40});
    }
    std::vector<UINT> seen;
    bool destroyed = false;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_APP)
            return 42;
        if (message == WM_APP + 1)
            throw std::runtime_error("handler failed");
        return Window::OnMessage(message, wParam, lParam);
    }
    void OnDestroyed() override { destroyed = true; }
};

} // namespace

TEST(Window, RoutesMessagesToItsObjectFromCreateToDestroy)
{
    ProbeWindow probe;
    ASSERT_TRUE(probe.Create());
    HWND hwnd = probe.Handle();
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(base::Window::FromHandle(hwnd), &probe);
    ASSERT_FALSE(probe.seen.empty());
    EXPECT_EQ(probe.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 42);

    ::DestroyWindow(hwnd);
    EXPECT_TRUE(probe.destroyed);
    EXPECT_EQ(probe.Handle(), nullptr);
    EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(Window, AnExceptionInAHandlerDoesNotEscapeIntoTheSystem)
{
    ProbeWindow probe;
    ASSERT_TRUE(probe.Create());
    EXPECT_EQ(::SendMessageW(probe.Handle(), WM_APP + 1, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(probe.Handle()));
}

TEST(Window, DestroyingTheObjectDestroysItsWindow)
{
    HWND hwnd = nullptr;
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.Create());
        hwnd = probe.Handle();
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Window, FromHandleIgnoresWindowsItDidNotMake)
{
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(button);
    ::SetWindowLongPtrW(button, GWLP_USERDATA, 1234);
    EXPECT_EQ(base::Window::FromHandle(button), nullptr);
    ::DestroyWindow(button);
}
