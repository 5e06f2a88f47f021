#include "app/MainWindow.h"

#include "app/MainLayout.h"
#include "app/MainWindowArt.h"

#include "Canvas.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<app::MainWindow>(m_state, m_folder.Path());
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

    testing_support::TempFolder m_folder;
    app::AppState m_state;
    std::unique_ptr<app::MainWindow> m_window;
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
    m_state.dockSliding = 1;
    MoveTo(20, -300);
    EXPECT_EQ(Rect().top, -300);
    m_state.dockSliding = 0;
    MoveTo(20, -300);
    EXPECT_EQ(Rect().top, 0);
}
