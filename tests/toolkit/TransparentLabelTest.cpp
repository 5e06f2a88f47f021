#include "toolkit/TransparentLabel.h"

#include "Canvas.h"
#include "DroppedFiles.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>

TEST(TransparentLabel, ShowsTheParentBeneathAndReportsPressesAndDoubleClicks)
{
    testing_support::PatternHost host;
    toolkit::TransparentLabel label;
    ASSERT_TRUE(label.Create(host.Handle(), {40, 30, 120, 50}));
    int presses = 0;
    int doubleClicks = 0;
    std::vector<std::wstring> dropped;
    label.SetEvents({.leftButtonDown = [&] { ++presses; },
                     .doubleClick = [&] { ++doubleClicks; },
                     .filesDropped = [&](std::vector<std::wstring> paths) { dropped = std::move(paths); }});

    testing_support::Canvas canvas(80, 20, RGB(1, 2, 3));
    ::SendMessageW(label.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    for (POINT p : {POINT{0, 0}, POINT{79, 19}, POINT{33, 7}})
        EXPECT_EQ(canvas.At(p.x, p.y), testing_support::PatternAt(40 + p.x, 30 + p.y)) << p.x << "," << p.y;

    ::SendMessageW(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(doubleClicks, 0);
    ::SendMessageW(label.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(doubleClicks, 1);
    // Without the class style the system never sends that message.
    EXPECT_TRUE(::GetClassLongPtrW(label.Handle(), GCL_STYLE) & CS_DBLCLKS);

    // Dropped files arrive whole, in order; the shell only offers them to a
    // window that accepts them.
    EXPECT_FALSE(::GetWindowLongPtrW(label.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    label.AcceptDroppedFiles(true);
    EXPECT_TRUE(::GetWindowLongPtrW(label.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    testing_support::DropFiles(label.Handle(), {L"C:\\Program Files\\工具琝\\tool.exe", L"D:\\b"});
    EXPECT_EQ(dropped, (std::vector<std::wstring>{L"C:\\Program Files\\工具琝\\tool.exe", L"D:\\b"}));
    label.AcceptDroppedFiles(false);
    EXPECT_FALSE(::GetWindowLongPtrW(label.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}
