#include "toolkit/AnimationBox.h"

#include "Canvas.h"
#include "GdiCount.h"
#include "toolkit/PatternHost.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::PumpFor;
using toolkit::AnimationBox;

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kYellow = RGB(250, 250, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr RECT kBoxRect{30, 20, 130, 70}; // 100 x 50 on the host

// A width x height picture in colour, its first keyColumns columns the key.
base::UniqueBitmap Picture(int width, int height, COLORREF colour, int keyColumns = 0)
{
    base::Dib32 dib = base::CreateDib32(width, height);
    for (int i = 0; i < width * height; ++i)
        dib.pixels[i] = base::ToDibPixel(i % width < keyColumns ? kKey : colour);
    return std::move(dib.bitmap);
}

class AnimationBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::SetCursorPos(1000, 900); // the real pointer stays out of these tests
        ASSERT_TRUE(m_box.Create(m_host.Handle(), kBoxRect));
    }
    COLORREF PaintedAt(int x, int y)
    {
        testing_support::Canvas canvas(100, 50, RGB(1, 2, 3));
        m_box.Paint(canvas.Dc(), {0, 0, 100, 50});
        return canvas.At(x, y);
    }
    void Send(UINT message, int x = 0, int y = 0) { ::SendMessageW(m_box.Handle(), message, 0, MAKELPARAM(x, y)); }

    testing_support::PatternHost m_host;
    AnimationBox m_box;
};

TEST_F(AnimationBoxTest, CapturedBackgroundIsTheParentUnderTheBox)
{
    EXPECT_EQ(PaintedAt(50, 25), RGB(255, 255, 255)); // nothing captured yet
    m_box.CaptureBackground();
    for (POINT p : {POINT{0, 0}, POINT{99, 0}, POINT{0, 49}, POINT{99, 49}, POINT{37, 21}})
        EXPECT_EQ(PaintedAt(p.x, p.y), testing_support::PatternAt(30 + p.x, 20 + p.y)) << p.x << "," << p.y;
}

TEST_F(AnimationBoxTest, ObjectsSkipTheirKeyBlendByLevelAndStackInOrder)
{
    m_box.SetBackground(Picture(100, 50, kBlue));
    const int id = m_box.AddObject(10, 10);
    EXPECT_FALSE(m_box.SetObjectPicture(id + 1, Picture(2, 2, kYellow), kKey));
    ASSERT_TRUE(m_box.SetObjectPicture(id, Picture(20, 20, kYellow, 10), kKey));
    for (auto [level, expected] : {std::pair{100, kBlue}, {50, RGB(125, 125, 100)}, {0, kYellow}}) {
        m_box.SetObjectTransparency(id, level);
        EXPECT_EQ(PaintedAt(12, 15), kBlue) << "key pixel at level " << level;
        const COLORREF c = PaintedAt(25, 15);
        EXPECT_LE(std::abs(GetRValue(c) - GetRValue(expected)) + std::abs(GetBValue(c) - GetBValue(expected)), 4)
            << "picture pixel at level " << level;
    }
    m_box.SetObjectTransparency(id, 150);
    EXPECT_EQ(m_box.ObjectTransparency(id), 100);

    m_box.SetObjectTransparency(id, 0);
    ASSERT_TRUE(m_box.SetObjectPicture(m_box.AddObject(0, 0), Picture(30, 15, kGreen), kKey));
    ASSERT_TRUE(m_box.SetObjectPicture(m_box.AddObject(0, 40, false), Picture(10, 10, kYellow), kKey));
    EXPECT_EQ(PaintedAt(25, 12), kGreen) << "a later object lies on top";
    EXPECT_EQ(PaintedAt(5, 45), kBlue) << "a hidden object is not drawn";
}

TEST_F(AnimationBoxTest, TextIsDrawnInItsColour)
{
    m_box.SetBackground(Picture(100, 50, kBlue));
    const auto redPixels = [&] {
        testing_support::Canvas canvas(100, 50);
        m_box.Paint(canvas.Dc(), {0, 0, 100, 50});
        int count = 0;
        for (int i = 0; i < 100 * 50; ++i)
            count += GetRValue(canvas.At(i % 100, i / 100)) > 150;
        return count;
    };
    const auto windowText = [&] {
        wchar_t text[32]{};
        ::GetWindowTextW(m_box.Handle(), text, 32);
        return std::wstring(text);
    };
    m_box.SetText({.text = L"播放 Play", .pixelHeight = 20, .bold = true, .colour = RGB(255, 0, 0)});
    EXPECT_GT(redPixels(), 20);
    // Placed text starts where it is put: nothing of it left of x = 60.
    const auto redColumnsBefore = [&](int x) {
        testing_support::Canvas canvas(100, 50);
        m_box.Paint(canvas.Dc(), {0, 0, 100, 50});
        int count = 0;
        for (int i = 0; i < x * 50; ++i)
            count += GetRValue(canvas.At(i % x, i / x)) > 150;
        return count;
    };
    EXPECT_GT(redColumnsBefore(40), 0);
    m_box.SetText({.text = L"播放", .pixelHeight = 20, .colour = RGB(255, 0, 0), .origin = POINT{60, 10}});
    EXPECT_EQ(redColumnsBefore(60), 0);
    EXPECT_GT(redPixels(), 20);
    m_box.SetText({.text = L"播放 Play", .pixelHeight = 20, .bold = true, .colour = RGB(255, 0, 0)});
    EXPECT_EQ(windowText(), L"播放 Play") << "what is drawn is what a screen reader reads";
    m_box.SetTextOnly(L"停止");
    EXPECT_EQ(windowText(), L"停止");
    m_box.SetTextOnly(L"");
    EXPECT_EQ(redPixels(), 0);
    EXPECT_EQ(windowText(), L"");
}

TEST_F(AnimationBoxTest, FadesRunOnTheTimerAndTurnRoundFromTheLevelReached)
{
    const int id = m_box.AddObject();
    ASSERT_TRUE(m_box.SetObjectPicture(id, Picture(10, 10, kYellow), kKey));
    m_box.SetObjectTransparency(id, 100);

    const DWORD start = ::GetTickCount();
    m_box.FadeObjectTo(id, 50, 300);
    EXPECT_LT(::GetTickCount() - start, 100u) << "a fade must not block";
    EXPECT_EQ(m_box.ObjectTransparency(id), 100);
    PumpFor(120);
    const int reached = m_box.ObjectTransparency(id);
    EXPECT_GT(reached, 50);
    EXPECT_LT(reached, 100);

    m_box.FadeObjectTo(id, 100, 300);
    const int turned = m_box.ObjectTransparency(id);
    EXPECT_LE(turned, reached);
    EXPECT_GE(turned, reached - 8);
    PumpFor(60);
    EXPECT_GE(m_box.ObjectTransparency(id), turned);
    EXPECT_LT(m_box.ObjectTransparency(id), 100);
    PumpFor(350);
    EXPECT_EQ(m_box.ObjectTransparency(id), 100);
    EXPECT_FALSE(m_box.IsFading(id));

    // A set level stops a fade where it is; no duration means at once.
    m_box.FadeObjectTo(id, 0, 300);
    m_box.SetObjectTransparency(id, 30);
    PumpFor(60);
    EXPECT_EQ(m_box.ObjectTransparency(id), 30);
    m_box.FadeObjectTo(id, 0, 0);
    EXPECT_EQ(m_box.ObjectTransparency(id), 0);
    EXPECT_FALSE(m_box.IsFading(id));

    // A flash goes there and comes back by itself.
    m_box.SetObjectTransparency(id, 100);
    m_box.FlashObject(id, 50, 100);
    int deepest = 100;
    for (int i = 0; i < 20 && m_box.IsFading(id); ++i) {
        PumpFor(20);
        deepest = std::min(deepest, m_box.ObjectTransparency(id));
    }
    EXPECT_LE(deepest, 60);
    PumpFor(150);
    EXPECT_EQ(m_box.ObjectTransparency(id), 100);
    EXPECT_FALSE(m_box.IsFading(id));
}

TEST_F(AnimationBoxTest, ReportsEnterLeaveAndClickPerObject)
{
    std::vector<std::string> events;
    const auto log = [&](const char* what) {
        return [&events, what](int id) { events.push_back(what + std::to_string(id)); };
    };
    m_box.SetEvents({.objectEnter = log("enter "), .objectLeave = log("leave "), .objectClick = log("click ")});
    for (int x : {0, 10}) // overlapping
        ASSERT_TRUE(m_box.SetObjectPicture(m_box.AddObject(x, 0), Picture(20, 20, kYellow), kKey));
    (void)m_box.AddObject(50, 0); // no picture: never hit
    ASSERT_TRUE(m_box.SetObjectPicture(m_box.AddObject(70, 0, false), Picture(20, 20, kBlue), kKey));
    m_box.SetObjectTransparency(1, 100); // invisible by level, still there for the pointer

    for (int x : {5, 6, 15, 55, 75, 5})
        Send(WM_MOUSEMOVE, x, 5);
    Send(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(::GetCapture(), m_box.Handle());
    Send(WM_LBUTTONUP, 6, 6);
    EXPECT_EQ(::GetCapture(), nullptr);
    Send(WM_LBUTTONDOWN, 5, 5); // released over another object: no click
    Send(WM_LBUTTONUP, 25, 5);
    Send(WM_MOUSELEAVE);
    Send(WM_MOUSELEAVE);
    const std::vector<std::string> expected = {"enter 1", "leave 1", "enter 2", "leave 2",
                                               "enter 1", "click 1", "leave 1"};
    EXPECT_EQ(events, expected);
}

TEST_F(AnimationBoxTest, HandlersMayDestroyTheBox)
{
    std::unique_ptr<AnimationBox> box;
    std::vector<int> entered;
    const auto makeBox = [&](toolkit::AnimationBoxEvents events) {
        box = std::make_unique<AnimationBox>();
        ASSERT_TRUE(box->Create(m_host.Handle(), kBoxRect));
        for (int x : {0, 30})
            ASSERT_TRUE(box->SetObjectPicture(box->AddObject(x, 0), Picture(20, 20, kYellow), kKey));
        events.objectEnter = [&](int id) { entered.push_back(id); };
        box->SetEvents(std::move(events));
    };

    makeBox({.objectEnter = {}, .objectLeave = {}, .objectClick = [&](int) { box.reset(); }});
    HWND hwnd = box->Handle();
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(::IsWindow(hwnd));

    makeBox({.objectEnter = {}, .objectLeave = [&](int) { box.reset(); }, .objectClick = {}});
    hwnd = box->Handle();
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(35, 5));
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(entered, std::vector<int>{1}) << "no enter once the leave handler destroyed the box";
}

TEST_F(AnimationBoxTest, PaintsFadesAndTextsMakeNoLastingGdiObjects)
{
    m_box.CaptureBackground();
    const int id = m_box.AddObject(5, 5);
    ASSERT_TRUE(m_box.SetObjectPicture(id, Picture(20, 20, kYellow, 10), kKey));
    const auto round = [&](int i) {
        PaintedAt(0, 0);
        m_box.SetObjectTransparency(id, i % 101);
        m_box.FadeObjectTo(id, 100 - i % 101, i % 2 ? 0 : 20);
        m_box.SetText({.text = L"天气 " + std::to_wstring(i), .pixelHeight = 12 + i % 5, .bold = i % 2 == 0});
    };
    round(0); // Wine keeps a few objects of its own from a first paint
    PumpFor(40);
    const int before = testing_support::LiveGdiObjects();
    for (int i = 1; i <= 100; ++i)
        round(i);
    m_box.CaptureBackground();
    PumpFor(40);
    EXPECT_LE(testing_support::LiveGdiObjects(), before);
}

} // namespace
