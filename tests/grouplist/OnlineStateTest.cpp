#include "grouplist/ListFixture.h"

#include "Canvas.h"
#include "GdiCount.h"

#include <memory>
#include <vector>

namespace {

using testing_support::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kAvatarFrame = 0xE9E3D7;
constexpr COLORREF kAvatar = RGB(0, 128, 255);
constexpr COLORREF kAvatarGrey = RGB(103, 103, 103);

enum class Shown { Online, Offline, Other };

// Records every row repaint the control asks of its list window, with what
// the row shows at that moment, by sitting on top of the control's window
// procedure.
class OnlineState : public testing_support::ListFixture {
protected:
    struct Repaint {
        int row;
        Shown shown;
        COLORREF offsetPixel; // (5, 6): white at offset 0, the frame at offset 1
    };

    void SetUp() override
    {
        ListFixture::SetUp();
        s_self = this;
        m_previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnlineState::Recorder)));
    }
    void TearDown() override
    {
        ListFixture::TearDown();
        s_self = nullptr;
    }

    static LRESULT CALLBACK Recorder(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
    {
        const LRESULT result = ::CallWindowProcW(s_self->m_previous, list, message, wParam, lParam);
        if (message == grouplist::WM_LIST_PAINTROW)
            s_self->m_repaints.push_back(s_self->Look(static_cast<int>(wParam)));
        return result;
    }

    // The row as painted now, through the host's WM_DRAWITEM.
    Repaint Look(int row)
    {
        Canvas canvas(60, 54, RGB(1, 2, 3));
        DRAWITEMSTRUCT draw{ODT_LISTBOX, 0, static_cast<UINT>(row), ODA_DRAWENTIRE, 0, m_list, canvas.Dc(),
                            {0, 0, 60, 54}, 0};
        ::SendMessageW(m_host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        const COLORREF middle = canvas.At(26, 27);
        const Shown shown = middle == kAvatar ? Shown::Online : middle == kAvatarGrey ? Shown::Offline : Shown::Other;
        return {row, shown, canvas.At(5, 6)};
    }

    // Processes messages, timers included, for the given time.
    static void PumpFor(DWORD ms)
    {
        const DWORD end = ::GetTickCount() + ms;
        for (LONG left; (left = static_cast<LONG>(end - ::GetTickCount())) > 0;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
            Pump();
        }
    }

    // Processes messages until n repaints have been recorded; false when
    // maxMs pass first.
    bool PumpUntilRepaints(size_t n, DWORD maxMs = 450)
    {
        const DWORD end = ::GetTickCount() + maxMs;
        while (m_repaints.size() < n) {
            const auto left = static_cast<LONG>(end - ::GetTickCount());
            if (left <= 0)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
            Pump();
        }
        return true;
    }

    std::vector<Shown> ShownSequence() const
    {
        std::vector<Shown> shown;
        for (const Repaint& r : m_repaints)
            shown.push_back(r.shown);
        return shown;
    }

    // Whether the list still has the timer (killing it is the only way to ask).
    bool HasTimer(UINT_PTR id) const { return ::KillTimer(m_list, id) != FALSE; }

    static inline OnlineState* s_self = nullptr;
    WNDPROC m_previous = nullptr;
    std::vector<Repaint> m_repaints;
};

TEST_F(OnlineState, SwitchingStateRefusesGroupsMakesTheGreyTwinOnceAndRepaintsOnce)
{
    const int group = m_control.AddGroup(L"G", true);
    const int entry = AddEntry(group, L"one", true);
    ASSERT_EQ(m_control.ReadItem(entry)->greyPicture, nullptr);

    EXPECT_EQ(m_control.SetEntryOffline(group), 0);
    EXPECT_EQ(m_control.SetEntryOnline(group, 50), 0);
    EXPECT_EQ(m_control.SetEntryOnline(0), 0);
    EXPECT_EQ(m_control.SetEntryOffline(0x7FFF0000), 0);
    EXPECT_TRUE(m_control.ReadItem(group)->expanded);
    EXPECT_TRUE(m_repaints.empty());

    // Already online: nothing changes, nothing blinks.
    EXPECT_EQ(m_control.SetEntryOnline(entry, 40), 1);
    EXPECT_TRUE(m_repaints.empty());
    EXPECT_FALSE(HasTimer(0x424C));

    EXPECT_EQ(m_control.SetEntryOffline(entry), 1);
    const HBITMAP grey = m_control.ReadItem(entry)->greyPicture;
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(ShownSequence(), std::vector<Shown>{Shown::Offline});
    EXPECT_FALSE(m_control.ReadItem(entry)->online);

    m_repaints.clear();
    const int gdiBefore = testing_support::LiveGdiObjects();
    EXPECT_EQ(m_control.SetEntryOnline(entry, 0), 1);
    EXPECT_EQ(m_control.SetEntryOffline(entry), 1);
    EXPECT_EQ(m_control.SetEntryOnline(entry), 1);
    EXPECT_EQ(m_control.ReadItem(entry)->greyPicture, grey);
    EXPECT_EQ(testing_support::LiveGdiObjects(), gdiBefore);
    EXPECT_EQ(ShownSequence(), (std::vector<Shown>{Shown::Online, Shown::Offline, Shown::Online}));

    // Hidden entries switch without a repaint.
    m_control.CollapseGroup(group);
    m_repaints.clear();
    EXPECT_EQ(m_control.SetEntryOffline(entry), 1);
    EXPECT_EQ(m_control.SetEntryOnline(entry, 30), 1);
    EXPECT_TRUE(m_control.ReadItem(entry)->online);
    PumpFor(150);
    EXPECT_TRUE(m_repaints.empty());
}

TEST_F(OnlineState, BlinkReturnsAtOnceThenShowsOnOffOnOffAndEndsOnline)
{
    const int group = m_control.AddGroup(L"G", true);
    const int entry = AddEntry(group, L"one", false);
    m_repaints.clear();

    const DWORD start = ::GetTickCount();
    EXPECT_EQ(m_control.SetEntryOnline(entry, 60), 1);
    EXPECT_LT(::GetTickCount() - start, 40u);
    EXPECT_TRUE(m_control.ReadItem(entry)->online);
    EXPECT_EQ(ShownSequence(), std::vector<Shown>{Shown::Online});

    PumpFor(600);
    const std::vector<Shown> expected{Shown::Online, Shown::Offline, Shown::Online, Shown::Offline, Shown::Online};
    EXPECT_EQ(ShownSequence(), expected);
    EXPECT_TRUE(m_control.ReadItem(entry)->online);
    EXPECT_EQ(Look(1).shown, Shown::Online);
    EXPECT_FALSE(HasTimer(0x424C));
}

TEST_F(OnlineState, BlinkEndsCleanlyOnASecondCallADeleteAndTheListsDestruction)
{
    const int group = m_control.AddGroup(L"G", true);
    const int first = AddEntry(group, L"one", false);
    const int second = AddEntry(group, L"two", false);

    m_repaints.clear();
    ASSERT_EQ(m_control.SetEntryOnline(first, 80), 1);
    ASSERT_TRUE(PumpUntilRepaints(2)); // into the offline step
    ASSERT_EQ(Look(1).shown, Shown::Offline);
    m_repaints.clear();
    EXPECT_EQ(m_control.SetEntryOnline(first, 80), 1);
    EXPECT_EQ(ShownSequence(), std::vector<Shown>{Shown::Online});
    PumpFor(300);
    EXPECT_EQ(m_repaints.size(), 1u);
    EXPECT_FALSE(HasTimer(0x424C));

    ASSERT_EQ(m_control.SetEntryOnline(second, 50), 1);
    ASSERT_EQ(m_control.DeleteEntry(second), 1);
    EXPECT_FALSE(HasTimer(0x424C)); // the only blink went with its entry
    m_repaints.clear();
    PumpFor(300);
    EXPECT_TRUE(m_repaints.empty());

    // Destroyed mid-blink and mid-flash: nothing is left to fire.
    ASSERT_EQ(m_control.SetEntryOffline(first), 1);
    ASSERT_EQ(m_control.SetEntryOnline(first, 50), 1);
    m_control.StartAvatarFlash(first);
    const HWND list = m_list;
    ::DestroyWindow(m_host);
    m_host = nullptr;
    PumpFor(400);
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_EQ(m_control.SetEntryOnline(first), 0);
}

TEST_F(OnlineState, FlashMovesTheAvatarEveryTickIsListedOnceAndSettlesWithinATickOfStop)
{
    const int group = m_control.AddGroup(L"G", true);
    const int entry = AddEntry(group, L"one");
    ASSERT_EQ(Look(1).offsetPixel, kWhite);
    m_repaints.clear();

    m_control.StartAvatarFlash(entry);
    m_control.StartAvatarFlash(entry);
    EXPECT_TRUE(m_control.ReadItem(entry)->flashing);
    ASSERT_TRUE(PumpUntilRepaints(1));
    // Listed twice, one tick would toggle the offset there and back.
    Pump();
    ASSERT_EQ(m_repaints.size(), 1u);
    EXPECT_EQ(m_repaints[0].offsetPixel, kAvatarFrame);
    EXPECT_EQ(m_control.ReadItem(entry)->avatarOffset, 1);
    ASSERT_TRUE(PumpUntilRepaints(2));
    EXPECT_EQ(m_repaints[1].offsetPixel, kWhite);

    // Stopped and started again before the tick: still one toggle a tick.
    m_control.StopAvatarFlash(entry);
    m_control.StartAvatarFlash(entry);
    m_repaints.clear();
    ASSERT_TRUE(PumpUntilRepaints(1));
    Pump();
    ASSERT_EQ(m_repaints.size(), 1u);
    EXPECT_EQ(m_repaints[0].offsetPixel, kAvatarFrame);

    m_control.StopAvatarFlash(entry);
    EXPECT_FALSE(m_control.ReadItem(entry)->flashing);
    m_repaints.clear();
    ASSERT_TRUE(PumpUntilRepaints(1, 360));
    EXPECT_EQ(m_repaints[0].offsetPixel, kWhite);
    EXPECT_EQ(m_control.ReadItem(entry)->avatarOffset, 0);
    EXPECT_FALSE(HasTimer(0x464C));
}

TEST_F(OnlineState, FlashingInACollapsedGroupRepaintsAfterExpandingAndLeavesWithItsEntries)
{
    const int group = m_control.AddGroup(L"G", false);
    const int entry = AddEntry(group, L"one");
    m_control.StartAvatarFlash(entry);
    m_repaints.clear();
    PumpFor(330);
    EXPECT_TRUE(m_repaints.empty());
    EXPECT_EQ(m_control.ReadItem(entry)->avatarOffset, 1);

    m_control.ExpandGroup(group);
    m_repaints.clear();
    ASSERT_TRUE(PumpUntilRepaints(1));
    EXPECT_EQ(m_repaints[0].row, 1);

    // Clearing the group takes the entry off the flash list and the timer goes.
    m_control.ClearGroupEntries(group);
    EXPECT_FALSE(HasTimer(0x464C));
    m_repaints.clear();
    PumpFor(330);
    EXPECT_TRUE(m_repaints.empty());
}

TEST_F(OnlineState, AReusedEntryRecordHandsItsBitmapOverOnce)
{
    const int group = m_control.AddGroup(L"G", true);
    const int before = testing_support::LiveGdiObjects();
    grouplist::EntryInfo info;
    info.groupHandle = group;
    info.name = L"one";
    info.online = true;
    {
        const HDC screen = ::GetDC(nullptr);
        info.avatarPicture = ::CreateCompatibleBitmap(screen, 40, 40);
        ::ReleaseDC(nullptr, screen);
    }
    const HBITMAP given = info.avatarPicture;
    ASSERT_EQ(m_control.AddEntry(info), 1);
    const int first = info.handle;
    EXPECT_EQ(info.avatarPicture, nullptr);
    info.name = L"two";
    ASSERT_EQ(m_control.AddEntry(info), 1);
    // The document keeps a handle's 32 significant bits: in a 64-bit process
    // one with the top bit set comes back sign-extended, the same bitmap.
    EXPECT_EQ(HandleToULong(m_control.ReadItem(first)->avatarPicture), HandleToULong(given));
    EXPECT_EQ(m_control.ReadItem(info.handle)->avatarPicture, nullptr);

    ASSERT_EQ(m_control.SetEntryOffline(first), 1);
    ASSERT_EQ(m_control.DeleteEntry(first), 1);
    ASSERT_EQ(m_control.DeleteEntry(info.handle), 1);
    EXPECT_EQ(testing_support::LiveGdiObjects(), before);
}

} // namespace
