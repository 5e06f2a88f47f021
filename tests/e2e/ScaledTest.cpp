// The built program on a screen at 150 % or 200 %: run by CTest in Wine
// prefixes whose screens are set to those scales (e2e_scaled_144 and
// e2e_scaled_192); in the ordinary prefix there is nothing to check.

#include "ProgramRunner.h"
#include "RealInput.h"

#include "app/Configuration.h"
#include "app/MainControls.h"
#include "app/MainLayout.h"
#include "app/MainWindowArt.h"
#include "base/Dpi.h"
#include "grouplist/ListInstance.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

COLORREF ScreenPixel(POINT p)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

RECT ClientRectOf(HWND child, HWND parent)
{
    RECT r = WindowRect(child);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

} // namespace

TEST(Scaled, WindowBoxesPictureAndDockingFollowTheScreensScale)
{
    const int dpi = base::SystemDpi();
    if (dpi == base::kDesignDpi)
        GTEST_SKIP() << "runs in the prefixes at 144 and 192 DPI";
    const auto S = [dpi](int designPixels) { return base::Scaled(designPixels, dpi); };

    ProgramCopy copy;
    copy.AddShortcut(L"工具", L"记事本", L"C:\\windows\\notepad.exe");
    RunningProgram program(copy);
    ASSERT_TRUE(program.Started());
    const HWND window = program.WaitForMainWindow();
    ASSERT_TRUE(window);

    // The window, every box, the title and the list's panel at their scaled places and sizes.
    const RECT start = WindowRect(window);
    EXPECT_EQ(start.right - start.left, S(app::kMainWidth));
    EXPECT_EQ(start.bottom - start.top, S(app::kMainHeight));
    for (int number = 1; number <= app::kBoxCount; ++number) {
        const RECT expected = app::BoxRectOf(static_cast<app::Box>(number), dpi);
        const HWND box = ::ChildWindowFromPointEx(window, {expected.left + 1, expected.top + 1}, CWP_SKIPINVISIBLE);
        ASSERT_TRUE(box && box != window) << "box " << number;
        EXPECT_EQ(Describe(ClientRectOf(box, window)), Describe(expected)) << "box " << number;
    }
    const RECT title = base::ScaledRect(app::kTitleLabelRect, dpi);
    EXPECT_EQ(Describe(ClientRectOf(::ChildWindowFromPointEx(window, {title.left + 1, title.top + 1},
                                                             CWP_SKIPINVISIBLE),
                                    window)),
              Describe(title));
    const HWND list = FindListBox(window);
    ASSERT_TRUE(list);
    EXPECT_EQ(Describe(ClientRectOf(::GetParent(list), window)), Describe(base::ScaledRect(app::kListHostRect, dpi)));
    // The list's rows measured at the scale: the group row, and once the
    // group is open, its shortcut's row.
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, kPatience));
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), S(grouplist::kGroupRowHeight));
    Click(ScreenPointOf(list, {S(60), S(grouplist::kGroupRowHeight) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, kPatience));
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 1, 0), S(grouplist::kMediumRowHeight));

    // The picture drawn at the scale: a frame one design pixel wide, corners
    // cut in scaled steps, the day arrows as wide as ten design pixels.
    ::Sleep(300);
    const auto pixel = [&](int x, int y) { return ScreenPixel({start.left + x, start.top + y}); };
    EXPECT_EQ(pixel(S(1) - 1, S(300)), app::art::kFrame);
    EXPECT_NE(pixel(S(1), S(300)), app::art::kFrame);
    base::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(window, shape.get()) != ERROR) {
        EXPECT_FALSE(::PtInRegion(shape.get(), S(3) - 1, 0));
        EXPECT_TRUE(::PtInRegion(shape.get(), S(3), 0));
        EXPECT_FALSE(::PtInRegion(shape.get(), 0, S(3) - 1));
        EXPECT_TRUE(::PtInRegion(shape.get(), 0, S(3)));
    }
    const RECT previous = app::BoxRectOf(app::Box::Previous, dpi);
    const int arrowX = (previous.left + previous.right) / 2;
    const int arrowBase = (previous.top + previous.bottom) / 2 + S(3);
    EXPECT_EQ(pixel(arrowX - S(5) + 1, arrowBase), app::art::kArrow);
    EXPECT_EQ(pixel(arrowX + S(5) - 1, arrowBase), app::art::kArrow);
    EXPECT_NE(pixel(arrowX - S(5) - 2, arrowBase), app::art::kArrow);

    // Docking: dragged to the top, the strip left behind is two design
    // pixels high; the top three design rows of the screen call it back.
    const POINT grip = ScreenPointOf(window, {S(100), S(16)});
    Drag(grip, {grip.x, 0}, 10);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(window).top == 0; }, kPatience));
    const auto size = [&] {
        const RECT r = WindowRect(window);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    MoveMouseTo({start.right + 300, S(600)});
    ASSERT_TRUE(WaitUntil([&] { return size().cy == S(2); }, kPatience)) << "height " << size().cy;
    EXPECT_EQ(size().cx, S(app::kMainWidth));
    MoveMouseTo({start.left + S(100), S(3)});
    ::Sleep(400);
    EXPECT_EQ(size().cy, S(2)) << "came back with the mouse below the strip";
    MoveMouseTo({start.left + S(100), S(3) - 1});
    EXPECT_TRUE(WaitUntil([&] { return size().cy == S(app::kMainHeight); }, kPatience));

    // The close box at its scaled place; the position saved in screen pixels.
    const RECT shown = WindowRect(window);
    const RECT close = app::BoxRectOf(app::Box::Close, dpi);
    Click(ScreenPointOf(window, {(close.left + close.right) / 2, (close.top + close.bottom) / 2}));
    EXPECT_EQ(program.WaitForExit(kPatience), std::optional<DWORD>(0));
    const app::IniFile ini(copy.PathOf(L"Instal.ini"));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), std::to_wstring(shown.left));
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"0");
}
