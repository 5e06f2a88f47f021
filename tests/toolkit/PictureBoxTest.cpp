#include "toolkit/PictureBox.h"

#include "Canvas.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kColour = RGB(12, 34, 56);
WNDPROC g_boxProc = nullptr;
int g_seenInFront = 0;

LRESULT CALLBACK InFront(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_seenInFront;
    return ::CallWindowProcW(g_boxProc, hwnd, message, wParam, lParam);
}

void ExpectFilled(HWND box, UINT message)
{
    testing_support::Canvas canvas(60, 40, RGB(1, 2, 3));
    ::SendMessageW(box, message, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(0, 0), kColour) << message;
    EXPECT_EQ(canvas.At(59, 39), kColour) << message;
}

} // namespace

TEST(PictureBox, FillsWithItsColourAlsoBehindAReplacedProcedure)
{
    testing_support::PatternHost host;
    toolkit::PictureBox box;
    ASSERT_TRUE(box.Create(host.Handle(), {10, 10, 70, 50}, kColour));
    ExpectFilled(box.Handle(), WM_ERASEBKGND);
    ExpectFilled(box.Handle(), WM_PRINTCLIENT);

    g_boxProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(box.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InFront)));
    ASSERT_NE(g_boxProc, nullptr);
    ExpectFilled(box.Handle(), WM_ERASEBKGND);
    ExpectFilled(box.Handle(), WM_PRINTCLIENT);
    EXPECT_EQ(g_seenInFront, 2);
    ::DestroyWindow(box.Handle()); // through the procedure in front, down to the object
    EXPECT_EQ(box.Handle(), nullptr);
}
