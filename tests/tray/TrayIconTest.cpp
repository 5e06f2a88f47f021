#include "tray/TrayIcon.h"

#include "image/IconDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The owner hands the icon a number of its own to report with.
constexpr UINT kTrayCallbackMessage = WM_APP + 5;
constexpr UINT kTaskbarCreated = WM_APP + 40; // stands in for the registered id
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

void Poke(std::vector<unsigned char>& bytes, size_t at, DWORD value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// One opaque 16 x 16 32-bpp image: directory, entry, BITMAPINFOHEADER
// (height 32: colour and mask), pixels, AND mask.
std::vector<unsigned char> IcoFile()
{
    std::vector<unsigned char> file(22 + 40 + 16 * 16 * 4 + 16 * 4, 0xFF);
    std::fill_n(file.begin(), 62, 0);
    file[2] = file[4] = file[10] = file[34] = 1;
    file[6] = file[7] = 16;
    file[12] = file[36] = 32;
    for (auto [at, value] : {std::pair{14, DWORD(file.size() - 22)}, {18, 22}, {22, 40}, {26, 16}, {30, 32}})
        Poke(file, at, value);
    return file;
}

TEST(IconFromIcoBytes, ReadsTheEntryAtItsOwnSizeAndNeverPastTheBytes)
{
    const std::vector<unsigned char> good = IcoFile();
    int width = -1, height = -1;
    const base::UniqueIcon icon = tray::IconFromIcoBytes(good, 0, &width, &height);
    ICONINFO info{};
    ASSERT_TRUE(icon && ::GetIconInfo(icon.get(), &info));
    const base::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(colour.get(), sizeof bitmap, &bitmap);
    EXPECT_EQ(std::tuple(width, height, bitmap.bmWidth, bitmap.bmHeight), std::tuple(16, 16, 16L, 16L));

    for (int index : {-1, 1000, INT_MAX, INT_MIN})
        EXPECT_FALSE(tray::IconFromIcoBytes(good, index, &width, &height)) << index;
    const auto made = [&](DWORD size, DWORD offset) {
        std::vector<unsigned char> file = good;
        Poke(file, 14, size);
        Poke(file, 18, offset);
        return static_cast<bool>(tray::IconFromIcoBytes(file, 0));
    };
    EXPECT_TRUE(made(0xFFFFFFFF, 22)) << "a size past the end is cut to the bytes present";

    // The entry made for the notification area's scale, else the first.
    std::vector<unsigned char> sizes(22 + 16, 0);
    sizes[4] = 3;
    sizes[6] = sizes[7] = 16;
    sizes[22] = sizes[23] = 32;
    EXPECT_EQ(image::IconEntryOfSize(sizes, 32), 1);
    EXPECT_EQ(image::IconEntryOfSize(sizes, 16), 0);
    EXPECT_EQ(image::IconEntryOfSize(sizes, 24), 0);
    EXPECT_EQ(image::IconEntryOfSize(sizes, 256), 0) << "the third entry lies past the bytes";
    EXPECT_FALSE(made(0, 22) || made(0x20, DWORD(good.size())) || made(0x20, 0xFFFFFFF0) || made(DWORD(good.size()), 0));

    // Every cut of the file, ending where a no-access page begins.
    auto* pages = static_cast<unsigned char*>(::VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    ASSERT_TRUE(pages && ::VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
    for (size_t length = 0; length <= good.size(); ++length) {
        std::copy_n(good.begin(), length, pages + 4096 - length);
        const bool any = static_cast<bool>(tray::IconFromIcoBytes({pages + 4096 - length, length}, 0));
        EXPECT_TRUE(any == (length == good.size()) || length >= 22 + sizeof(BITMAPCOREHEADER)) << length;
    }
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

// What the owners' own window procedure saw.
std::vector<std::pair<HWND, UINT>> g_seen;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.emplace_back(hwnd, message);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class TrayIconTest : public ::testing::Test {
protected:
    // A hidden top-level window with the procedure above and a small icon.
    static base::UniqueWindow MakeOwner(HICON smallIcon)
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &OwnerProc;
            wc.lpszClassName = L"QuilleryTrayTestOwner";
            return ::RegisterClassW(&wc);
        }();
        HWND hwnd = ::CreateWindowExW(0, MAKEINTATOM(atom), L"Tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, nullptr, nullptr);
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
        return base::UniqueWindow(hwnd);
    }
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { ::SendMessageW(m_hwnd, message, wParam, lParam); }
    int Seen(UINT message) const
    {
        return static_cast<int>(std::count(g_seen.begin(), g_seen.end(), std::pair{m_hwnd, message}));
    }
    DWORD LastCall() const { return m_calls.back().first; }
    const NOTIFYICONDATAW& Last() const { return m_calls.back().second; }

    std::vector<unsigned char> m_ico = IcoFile();
    base::UniqueIcon m_smallIcon = tray::IconFromIcoBytes(m_ico, 0);
    base::UniqueWindow m_owner = MakeOwner(m_smallIcon.get());
    HWND m_hwnd = m_owner.get();
    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> m_calls;
    std::vector<DWORD> m_ticks;
    std::vector<UINT> m_events;
    bool m_shellUp = true; // false: the shell refuses new icons
    tray::TrayIcon m_tray{kTaskbarCreated, kTrayCallbackMessage, [this](DWORD message, const NOTIFYICONDATAW& data) {
                              m_calls.emplace_back(message, data);
                              m_ticks.push_back(::GetTickCount());
                              return message != NIM_ADD || m_shellUp;
                          }};
};

TEST_F(TrayIconTest, AddsOnceAndTheIconsMessagesGoToTheHandler)
{
    EXPECT_FALSE(m_tray.Add(MakeOwner(nullptr).get()));
    EXPECT_TRUE(!m_tray.Installed() && m_calls.empty()) << "no icon of its own and no bytes: nothing to show";

    EXPECT_TRUE(m_tray.Add(m_hwnd, std::nullopt, L"Quillery", [this](UINT mouse) { m_events.push_back(mouse); }));
    ASSERT_EQ(m_calls.size(), 1u);
    EXPECT_EQ(std::tuple(LastCall(), Last().cbSize, Last().hWnd, Last().uID, Last().uFlags, Last().uCallbackMessage),
              std::tuple(DWORD{NIM_ADD}, DWORD{sizeof(NOTIFYICONDATAW)}, m_hwnd, 1u, kIconFlags, kTrayCallbackMessage));
    EXPECT_TRUE(Last().hIcon && Last().hIcon != m_smallIcon.get()) << "the owner's icon is shared: a copy is shown";
    EXPECT_STREQ(Last().szTip, L"Quillery");

    EXPECT_TRUE(m_tray.Add(m_hwnd, m_ico, L"Second", [this](UINT) { m_events.push_back(0); }));
    m_tray.SetIcon(std::span<const unsigned char>(m_ico).first(30)); // no icon: the picture stays
    EXPECT_EQ(std::tuple(m_calls.size(), LastCall()), std::tuple(size_t{3}, DWORD{NIM_MODIFY}));
    Send(kTrayCallbackMessage, tray::kIconId, WM_LBUTTONDBLCLK);
    Send(WM_USER + 7);
    EXPECT_EQ(m_events, std::vector<UINT>{WM_LBUTTONDBLCLK}) << "once: the owner is subclassed once";
    EXPECT_EQ(std::tuple(Seen(kTrayCallbackMessage), Seen(WM_USER + 7)), std::tuple(0, 1));

    Send(kTaskbarCreated);
    EXPECT_EQ(std::tuple(LastCall(), Last().uFlags, Seen(kTaskbarCreated)), std::tuple(DWORD{NIM_ADD}, kIconFlags, 1));
    EXPECT_TRUE(Last().hIcon && std::wstring(Last().szTip) == L"Second");

    m_tray.Remove();
    EXPECT_TRUE(m_tray.Add(m_hwnd, std::vector<unsigned char>(40, 0x5A)));
    EXPECT_EQ(std::tuple(m_tray.Installed(), LastCall(), Last().hIcon), std::tuple(true, DWORD{NIM_ADD}, HICON{}))
        << "bytes without an icon give an icon without a picture";

    // A shell not up yet refuses; the icon waits for the taskbar to announce itself.
    m_tray.Remove();
    m_shellUp = false;
    EXPECT_FALSE(m_tray.Add(m_hwnd, m_ico, L"Later"));
    EXPECT_FALSE(m_tray.Add(m_hwnd, m_ico, L"Later")) << "still not in the tray";
    EXPECT_TRUE(m_tray.Installed());
    m_shellUp = true;
    Send(kTaskbarCreated);
    EXPECT_EQ(std::tuple(LastCall(), std::wstring(Last().szTip)), std::tuple(DWORD{NIM_ADD}, std::wstring(L"Later")));
    EXPECT_TRUE(m_tray.Add(m_hwnd, m_ico, L"Later")) << "in the tray since the taskbar came";
}

TEST_F(TrayIconTest, RemovalGivesTheOwnerItsProcedureBackAndTheOwnersEndRemovesTheIcon)
{
    // Removed from its own double-click handler, as the program does.
    (void)m_tray.Add(m_hwnd, m_ico, L"Tip", [this](UINT mouse) {
        m_events.push_back(mouse);
        m_tray.Remove();
    });
    Send(kTrayCallbackMessage, tray::kIconId, WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::tuple(m_tray.Installed(), LastCall(), Last().hWnd, Last().uID),
              std::tuple(false, DWORD{NIM_DELETE}, m_hwnd, 1u));
    Send(kTrayCallbackMessage, tray::kIconId, WM_LBUTTONDBLCLK);
    m_tray.Remove();
    EXPECT_EQ(std::tuple(m_events.size(), m_calls.size(), Seen(kTrayCallbackMessage)), std::tuple(size_t{1}, size_t{2}, 1));

    (void)m_tray.Add(m_hwnd, m_ico);
    Send(WM_ENDSESSION, FALSE); // a cancelled log-off keeps the icon
    EXPECT_TRUE(m_tray.Installed());
    Send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(std::tuple(m_tray.Installed(), LastCall(), Seen(WM_ENDSESSION)), std::tuple(false, DWORD{NIM_DELETE}, 2));

    (void)m_tray.Add(m_hwnd, m_ico);
    m_owner.reset();
    EXPECT_EQ(std::tuple(m_calls.size(), LastCall(), Seen(WM_DESTROY), Seen(WM_NCDESTROY)),
              std::tuple(size_t{6}, DWORD{NIM_DELETE}, 1, 1)) << "the owner's own WM_DESTROY still runs";
}

TEST_F(TrayIconTest, TimedBalloonGoesAwayOnceAFullTimeAfterTheLastAndTextsFitTheirFields)
{
    (void)m_tray.Add(m_hwnd, m_ico, std::wstring(200, L'a'));
    EXPECT_EQ(std::wstring(Last().szTip), std::wstring(127, L'a'));
    m_tray.SetTip(std::wstring(126, L'b') + L"\xD83D\xDE00"); // no half character at the cut
    EXPECT_EQ(std::wstring(Last().szTip), std::wstring(126, L'b'));

    m_tray.BalloonTimed(std::wstring(100, L't'), L"Text", NIIF_INFO, 400);
    EXPECT_EQ(std::tuple(LastCall(), Last().uFlags, Last().dwInfoFlags, std::wstring(Last().szInfo)),
              std::tuple(DWORD{NIM_MODIFY}, UINT{NIF_INFO}, DWORD{NIIF_INFO}, std::wstring(L"Text")));
    EXPECT_EQ(std::wstring(Last().szInfoTitle), std::wstring(63, L't'));
    ::Sleep(100);
    m_tray.BalloonTimed(L"Again", L"More", NIIF_WARNING, 400);
    const DWORD second = ::GetTickCount();
    for (MSG msg; ::GetTickCount() - second < 1000;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    std::vector<DWORD> clearedAfter;
    for (size_t i = 0; i < m_calls.size(); ++i) {
        const NOTIFYICONDATAW& d = m_calls[i].second;
        if (m_calls[i].first == NIM_MODIFY && d.uFlags == NIF_INFO && !d.szInfoTitle[0] && !d.szInfo[0] && !d.dwInfoFlags)
            clearedAfter.push_back(m_ticks[i] - second);
    }
    ASSERT_EQ(clearedAfter.size(), 1u);
    EXPECT_GE(clearedAfter[0], 390u);
    EXPECT_EQ(Seen(WM_TIMER), 0) << "the balloon's timer is the tray's own";
}

} // namespace
