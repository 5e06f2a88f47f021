#include "app/Program.h"

#include "app/MainLayout.h"
#include "app/MainWindowArt.h"

#include "Canvas.h"
#include "FakeListActionShell.h"
#include "DroppedFiles.h"
#include "GdiCount.h"
#include "ProcessWindow.h"
#include "MessagePump.h"
#include "TempFolder.h"
#include "app/AppMessages.h"
#include "base/ComPtr.h"
#include "base/Dpi.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "weather/WeatherMailbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

using testing_support::PumpFor;
using testing_support::PumpUntil;

std::wstring TextOf(HWND window)
{
    wchar_t text[256]{};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// Starts nothing; remembers what it was asked to start, on whichever thread.
struct RecordingLauncher final : catalogue::ProgramLauncher {
    bool Open(const std::wstring& path, const std::wstring& folder) override
    {
        const std::lock_guard hold(lock);
        calls.emplace_back(path, folder);
        return true;
    }
    std::mutex lock;
    std::vector<std::pair<std::wstring, std::wstring>> calls;
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<app::Program>(m_state, m_folder.Path());
        m_window->SetListActionShell(m_shell);
        ASSERT_TRUE(m_window->Create());
    }
    void TearDown() override
    {
        m_window.reset();
        // Destroying the main window asks this thread's loop to end; no loop runs here.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND Window() const { return m_window->Handle(); }
    RECT Rect() const
    {
        RECT r{};
        ::GetWindowRect(Window(), &r);
        return r;
    }
    void MoveTo(int x, int y) const
    {
        ::SetWindowPos(Window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    base::ComApartment m_com; // the list keeps its items in an XML document
    testing_support::TempFolder m_folder;
    app::AppState m_state;
    testing_support::FakeListActionShell m_shell;
    std::unique_ptr<app::Program> m_window;
};

} // namespace

TEST_F(MainWindowTest, KeepsEverythingInItsOwnFolder)
{
    EXPECT_EQ(m_state.configPath, m_folder.Path() + L"\\Instal.ini");
    EXPECT_EQ(m_state.favoritesDir, m_folder.Path() + L"\\Favorites");
    EXPECT_EQ(m_state.playlistPath, m_folder.Path() + L"\\Favorites\\mp3.txt");
    EXPECT_NE(::GetFileAttributesW(m_state.favoritesDir.c_str()), INVALID_FILE_ATTRIBUTES);

    MoveTo(140, 60);
    m_window->SaveConfiguration();
    const app::IniFile ini(m_state.configPath);
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kLeftKey), L"140");
    EXPECT_EQ(ini.Read(app::kConfigSection, app::kTopKey), L"60");
}

TEST_F(MainWindowTest, PrintClientGivesTheBackgroundPicture)
{
    constexpr COLORREF kSentinel = RGB(1, 2, 3);
    testing_support::Canvas printed(app::kMainWidth, app::kMainHeight, kSentinel);
    testing_support::Canvas expected(app::kMainWidth, app::kMainHeight, kSentinel);
    ::SendMessageW(Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.Dc()), PRF_CLIENT);
    app::PaintMainBackground(expected.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);
    int differences = 0;
    for (int y = 0; y < app::kMainHeight; ++y) {
        for (int x = 0; x < app::kMainWidth; ++x) {
            if (x < 30 && y < 30)
                continue; // the window's title shows its icon; this picture has none
            differences += printed.At(x, y) != expected.At(x, y);
        }
    }
    EXPECT_EQ(differences, 0);
}

// The window's picture as WM_PRINTCLIENT gives it, and where each control stands.
struct Look {
    std::vector<COLORREF> pixels;
    std::vector<RECT> children;
};

TEST_F(MainWindowTest, MovedToAMonitorOfAnotherScaleItIsLaidOutAndDrawnAgain)
{
    const auto look = [&] {
        Look seen;
        RECT client{};
        ::GetClientRect(Window(), &client);
        testing_support::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
        ::SendMessageW(Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                seen.pixels.push_back(canvas.At(x, y));
        for (HWND child = ::GetWindow(Window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT r{};
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
            seen.children.push_back(r);
        }
        return seen;
    };
    const auto changeDpi = [&](int dpi, RECT suggested) {
        ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    };
    MoveTo(300, 100);
    const Look before = look();

    changeDpi(192, {300, 100, 300 + 600, 100 + 1200});
    EXPECT_EQ(Rect().right - Rect().left, 550);
    EXPECT_EQ(Rect().bottom - Rect().top, 1110);
    EXPECT_EQ(Rect().left, 300) << "where the system suggests";
    for (int number = 1; number <= app::kBoxCount; ++number) {
        const auto box = static_cast<app::Box>(number);
        RECT r{};
        ::GetWindowRect(m_window->Controls().BoxWindow(box).Handle(), &r);
        ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
        const RECT expected = app::BoxRectOf(box, 192);
        EXPECT_TRUE(::EqualRect(&r, &expected)) << "box " << number << " at " << r.left << "," << r.top;
    }
    RECT host{};
    ::GetClientRect(m_window->Controls().ListHost().Handle(), &host);
    EXPECT_EQ(host.right, 2 * 253);
    EXPECT_EQ(host.bottom, 2 * 408);
    // The list and the picture shortcuts show until theirs come, drawn for the scale.
    EXPECT_EQ(m_state.listControl.Dpi(), 192);
    const auto side = [](const base::UniqueBitmap& picture) {
        BITMAP bm{};
        ::GetObjectW(picture.get(), sizeof bm, &bm);
        return bm.bmWidth;
    };
    EXPECT_EQ(side(m_state.defaultPictures[0]), 80);
    EXPECT_EQ(side(m_state.defaultPictures[1]), 80);

    // The frame two pixels thick, the corners cut in two-pixel steps.
    const Look scaled = look();
    const auto at = [&](int x, int y) { return scaled.pixels[static_cast<size_t>(y) * 550 + x]; };
    EXPECT_EQ(at(1, 300), app::art::kFrame);
    EXPECT_NE(at(2, 300), app::art::kFrame);
    EXPECT_EQ(at(300, 1108), app::art::kFrame);
    EXPECT_NE(at(300, 1107), app::art::kFrame);
    base::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(Window(), shape.get()), ERROR);
    for (const auto& [x, y, inside] : {std::tuple{5, 0, false}, {6, 0, true}, {3, 2, false}, {4, 2, true},
                                       {1, 5, false}, {2, 5, true}, {0, 6, true}, {549, 1104, false},
                                       {547, 1105, true}, {544, 1109, false}, {543, 1109, true}})
        EXPECT_EQ(::PtInRegion(shape.get(), x, y) != FALSE, inside) << x << "," << y;

    // Back at 96 DPI the window is exactly what it was, and nothing leaked.
    changeDpi(96, {300, 100, 300 + 275, 100 + 555});
    const Look after = look();
    EXPECT_EQ(after.children.size(), before.children.size());
    for (size_t i = 0; i < std::min(after.children.size(), before.children.size()); ++i)
        EXPECT_TRUE(::EqualRect(&after.children[i], &before.children[i])) << "child " << i;
    ASSERT_EQ(after.pixels.size(), before.pixels.size());
    EXPECT_TRUE(after.pixels == before.pixels);
    // Once every cache is warm, another round trip makes nothing new.
    const int gdiBefore = testing_support::LiveGdiObjects();
    changeDpi(192, {300, 100, 300 + 600, 100 + 1200});
    changeDpi(96, {300, 100, 300 + 275, 100 + 555});
    EXPECT_LE(testing_support::LiveGdiObjects(), gdiBefore);
}

TEST_F(MainWindowTest, DockedAtTheTopItStaysTheStripOfTheNewScale)
{
    MoveTo(300, 0);
    m_state.dockHidden = true;
    ::SetWindowPos(Window(), nullptr, 300, 0, app::kMainWidth, 2, SWP_NOZORDER | SWP_NOACTIVATE);
    // The system suggests the whole window's rectangle, a little lower.
    RECT suggested{310, 40, 310 + 550, 40 + 1110};
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Rect().top, 0);
    EXPECT_EQ(Rect().left, 310);
    EXPECT_EQ(Rect().right - Rect().left, 550);
    EXPECT_EQ(Rect().bottom - Rect().top, 4);
    m_state.dockHidden = false;
}

TEST_F(MainWindowTest, MovesAreHeldOnScreenExceptWhileSliding)
{
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    MoveTo(-60, 333);
    EXPECT_EQ(Rect().left, 0);
    EXPECT_EQ(Rect().top, 333);
    MoveTo(screenWidth - 100, -5);
    EXPECT_EQ(Rect().left, screenWidth - app::kMainWidth);
    EXPECT_EQ(Rect().top, 0);

    // The dock slide moves the window above the screen on purpose.
    m_state.dockSliding = true;
    MoveTo(20, -300);
    EXPECT_EQ(Rect().top, -300);
    m_state.dockSliding = false;
    MoveTo(20, -300);
    EXPECT_EQ(Rect().top, 0);
}

TEST_F(MainWindowTest, FilesDroppedOnTheTitleBecomeShortcutsThroughTheDropWindow)
{
    ASSERT_TRUE(::CreateDirectoryW((m_state.favoritesDir + L"\\工具").c_str(), nullptr));
    m_window->ReloadCatalogue();
    HWND title = m_window->Controls().TitleLabel().Handle();
    ASSERT_TRUE(::GetWindowLongPtrW(title, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "the title takes drops";

    const std::wstring program = L"C:\\Program Files\\Tool\\tool.exe";
    testing_support::DropFiles(title, {program});
    catalogue::DropAddWindow* drop = m_window->DropAddWindow();
    ASSERT_TRUE(drop && drop->Handle());
    const auto textOf = [](HWND control) {
        wchar_t text[MAX_PATH]{};
        ::GetWindowTextW(control, text, MAX_PATH);
        return std::wstring(text);
    };
    EXPECT_EQ(textOf(drop->ProgramPathEdit()), program);
    EXPECT_EQ(textOf(drop->ShortcutNameEdit()), L"tool");

    ::SetWindowTextW(drop->GroupCombo(), L"工具");
    ::SendMessageW(drop->SaveButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(base::ReadFileBytes(m_state.favoritesDir + L"\\工具\\tool.txt"),
              std::optional<std::string>("C:\\Program Files\\Tool\\tool.exe"));
    EXPECT_FALSE(drop->Handle()) << "saved and closed";
    // The list was rebuilt: its only group now counts the new shortcut.
    const HWND list = testing_support::FindChildOfClass(Window(), L"ListBox");
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    const auto group = m_state.listControl.ReadItem(static_cast<int>(::SendMessageW(list, LB_GETITEMDATA, 0, 0)));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->name, L"工具 [1]");
}

TEST_F(MainWindowTest, ADoubleClickStartsTheShortcutUnderThePointerNotTheSelectedOne)
{
    const std::wstring group = m_state.favoritesDir + L"\\工具";
    ASSERT_TRUE(::CreateDirectoryW(group.c_str(), nullptr));
    // Programs that exist: a missing one would only be said to be gone.
    const std::wstring programA = m_folder.Path() + L"\\a.exe", programB = m_folder.Path() + L"\\b.exe";
    for (const std::wstring& program : {programA, programB})
        ASSERT_TRUE(base::WriteFileAtomic(program, ""));
    ASSERT_TRUE(base::WriteTextFile(group + L"\\a.txt", programA, 936));
    ASSERT_TRUE(base::WriteTextFile(group + L"\\b.txt", programB, 936));
    const auto launcher = std::make_shared<RecordingLauncher>();
    m_window->SetLauncher(launcher);
    m_window->ReloadCatalogue();
    ASSERT_TRUE(PumpUntil([&] { return m_window->Loader()->Done(); }));
    m_state.listControl.ExpandAllGroups();

    const HWND list = testing_support::FindChildOfClass(Window(), L"ListBox");
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    const auto rectOf = [&](const wchar_t* name) {
        const int handle = m_state.listControl.FindEntryByName(name);
        RECT r{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(m_state.listControl.ReadItem(handle)->rowIndex),
                       reinterpret_cast<LPARAM>(&r));
        return r;
    };
    const RECT a = rectOf(L" a"), b = rectOf(L" b");
    // The rows touch: the first press on a's pixel next to b, the second on b's next to a.
    const int x = (a.left + a.right) / 2;
    const auto send = [&](UINT message, WPARAM keys, int y) { ::SendMessageW(list, message, keys, MAKELPARAM(x, y)); };
    const int firstY = a.top < b.top ? a.bottom - 1 : a.top;
    const int secondY = a.top < b.top ? b.top : b.bottom - 1;
    send(WM_LBUTTONDOWN, MK_LBUTTON, firstY);
    send(WM_LBUTTONUP, 0, firstY);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, secondY);
    send(WM_LBUTTONUP, 0, secondY);

    const auto started = [&] {
        const std::lock_guard hold(launcher->lock);
        return launcher->calls;
    };
    ASSERT_TRUE(PumpUntil([&] { return !started().empty(); }));
    ::Sleep(100); // a second start would come now
    using Call = std::pair<std::wstring, std::wstring>;
    EXPECT_EQ(started(), (std::vector<Call>{{programB, m_folder.Path() + L"\\"}}));
}

TEST_F(MainWindowTest, WhereTheTrayRefusesTheIconMinimisingLeavesTheWindowOnTheTaskbar)
{
    struct Shell {
        bool up = false;
        std::vector<DWORD> calls;
    };
    const auto shell = std::make_shared<Shell>();
    m_window->SetTrayNotify([shell](DWORD message, const NOTIFYICONDATAW&) {
        shell->calls.push_back(message);
        return message != NIM_ADD || shell->up;
    });
    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);

    m_window->MinimiseToTray();
    EXPECT_TRUE(::IsWindowVisible(Window())) << "hidden, it could never be found again";
    EXPECT_TRUE(::IsIconic(Window()));
    EXPECT_FALSE(m_window->Tray().Installed()) << "no icon left half made";
    EXPECT_EQ(shell->calls, (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));

    // The taskbar button brings it back; with the tray up, the icon takes its place.
    ::ShowWindow(Window(), SW_RESTORE);
    shell->up = true;
    shell->calls.clear();
    m_window->MinimiseToTray();
    EXPECT_FALSE(::IsWindowVisible(Window()));
    EXPECT_TRUE(m_window->Tray().Installed());
    EXPECT_EQ(shell->calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY})) << "the icon and its balloon";
    ::SendMessageW(Window(), app::kTrayCallbackMessage, tray::kIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(Window()) && !::IsIconic(Window()));
    EXPECT_FALSE(m_window->Tray().Installed());
}

namespace {

// A weather page whose first day reads "2026-12-08 Sunny -3~5".
std::string ForecastPage()
{
    std::string page = "<html><body><table><tr>";
    for (const char* day : {"08", "09", "10"})
        page += std::string(R"(<td width="186"><table><tr><td bgcolor="#EEEEEE">2026-12-)") + day +
                R"(</td></tr><tr><td bgcolor="#EEF3F8">Sunny<br>-3~5<br>North</td></tr></table></td>)";
    return page + "</tr></table></body></html>";
}

// Every fetch waits until the source is opened.
struct HeldPageSource final : weather::PageSource {
    ~HeldPageSource() override { ::CloseHandle(open); }
    std::optional<std::string> Fetch(const std::wstring&) override
    {
        ++calls;
        ::WaitForSingleObject(open, 20000);
        return ForecastPage();
    }
    HANDLE open = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> calls{0};
};

} // namespace

TEST(MainWindowWeatherTest, ForgedResultsChangeNothingAndAStuckFetchIsNeverJoinedByAnother)
{
    base::ComApartment com;
    testing_support::TempFolder folder;
    ASSERT_TRUE(app::IniFile(folder.Path() + L"\\Instal.ini").Write(app::kConfigSection, app::kWeatherHostKey,
                                                                    L"127.0.0.1:9"));
    app::AppState state;
    const auto source = std::make_shared<HeldPageSource>();
    {
        app::Program window(state, folder.Path());
        window.Weather().SetPageSource(source);
        ASSERT_TRUE(window.Create());
        const HWND line = window.Controls().BoxWindow(app::Box::Weather).Handle();
        ASSERT_TRUE(PumpUntil([&] { return source->calls == 1; }));
        EXPECT_EQ(TextOf(line), app::kFetchingText);

        // Any program may post this message: neither its number nor its lParam is taken on trust.
        weather::WeatherResult forged{std::array<std::string, 3>{"2000-01-01 forged", "b", "c"}};
        for (const WPARAM fetch : {WPARAM{0}, WPARAM{1}, WPARAM{2}, WPARAM{UINT_MAX} + 2, ~WPARAM{0}}) {
            for (const LPARAM lParam : {reinterpret_cast<LPARAM>(&forged), LPARAM{0x5A5A50}})
                ::SendMessageW(window.Handle(), app::kWeatherResultMessage, fetch, lParam);
        }
        EXPECT_EQ(TextOf(line), app::kFetchingText);
        EXPECT_TRUE(window.Weather().Fetching());

        // Past its deadline the fetch has failed, but its worker still hangs:
        // a click on the failure text starts no second one.
        ::SendMessageW(window.Handle(), WM_TIMER, app::kWeatherDeadlineTimer, 0);
        EXPECT_EQ(TextOf(line), app::kWeatherFailedText);
        RECT box{};
        ::GetClientRect(line, &box);
        const LPARAM centre = MAKELPARAM(box.right / 2, box.bottom / 2);
        const auto click = [&] {
            ::SendMessageW(line, WM_LBUTTONDOWN, MK_LBUTTON, centre);
            ::SendMessageW(line, WM_LBUTTONUP, 0, centre);
        };
        click();
        (void)PumpUntil([] { return false; }, 300);
        EXPECT_EQ(source->calls, 1);
        EXPECT_EQ(TextOf(line), app::kWeatherFailedText);

        // Once it ends a click fetches again; had its late page been shown,
        // the click would fetch nothing.
        ::SetEvent(source->open);
        EXPECT_TRUE(PumpUntil([&] {
            if (source->calls == 1)
                click();
            return source->calls == 2;
        }));
        EXPECT_TRUE(PumpUntil([&] { return TextOf(line) == L"2026-12-08 Sunny -3~5"; }));
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST(MainWindowStartTest, ASavedPositionOffEveryScreenStillOpensTheWindowWhole)
{
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    struct Case {
        const wchar_t* left;
        const wchar_t* top;
    };
    for (const Case saved : {Case{L"2147483647", L"2147483647"}, Case{L"-2147483648", L"-2147483648"},
                             Case{L"300", L"99999"}, Case{L"abc", L"5000"}, Case{L"", L"-20"}}) {
        testing_support::TempFolder folder;
        const app::IniFile ini(folder.Path() + L"\\Instal.ini");
        ASSERT_TRUE(ini.Write(app::kConfigSection, app::kLeftKey, saved.left));
        ASSERT_TRUE(ini.Write(app::kConfigSection, app::kTopKey, saved.top));
        app::AppState state;
        {
            app::Program window(state, folder.Path());
            ASSERT_TRUE(window.Create());
            RECT r{};
            ::GetWindowRect(window.Handle(), &r);
            EXPECT_TRUE(r.left >= screen.left && r.top >= screen.top && r.right <= screen.right &&
                        r.bottom <= screen.bottom)
                << base::ToUtf8(saved.left) << "," << base::ToUtf8(saved.top) << " gave " << r.left << "," << r.top;
            EXPECT_EQ(r.right - r.left, app::kMainWidth);
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
}
