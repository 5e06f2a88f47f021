// Typing in the real main window: the filter it builds, where it shows, Enter
// starting the selected shortcut, a reload, and windows that take no keys.

#include "app/Program.h"

#include "app/MainLayout.h"
#include "app/MainWindowArt.h"

#include "Canvas.h"
#include "FakeListActionShell.h"
#include "TempFolder.h"
#include "base/ComPtr.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

class RecordingLauncher final : public catalogue::ProgramLauncher {
public:
    bool Open(const std::wstring& path, const std::wstring& folder) override
    {
        const std::lock_guard lock(mutex); // called on a thread of the launcher's
        calls.push_back(path + L" in " + folder);
        return true;
    }
    std::mutex mutex;
    Names calls;
};

class TypeToFindTest : public testing::Test {
protected:
    void SetUp() override
    {
        Shortcut(L"工具", L"记事本", Program(L"notepad.exe"));
        Shortcut(L"工具", L"画图", Program(L"mspaint.exe"));
        Shortcut(L"游戏", L"Chess", Program(L"chess.exe"));
        m_window = std::make_unique<app::Program>(m_state, m_folder.Path());
        m_window->SetLauncher(m_launcher);
        m_window->SetListActionShell(m_shell);
        ASSERT_TRUE(m_window->Create());
        ::ShowWindow(m_window->Handle(), SW_SHOW);
        m_list = m_state.listControl.GetWindowHandle();
        ASSERT_TRUE(PumpUntil([&] { return m_window->Loader()->Done(); }));
    }
    void TearDown() override
    {
        m_window.reset();
        MSG msg; // destroying the window asks this thread's loop to end; no loop runs here
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // A program that exists, so no shortcut to it counts as missing.
    [[nodiscard]] std::wstring Program(const std::wstring& name) const
    {
        const std::wstring path = m_folder.Path() + L"\\" + name;
        EXPECT_TRUE(base::WriteFileAtomic(path, ""));
        return path;
    }

    void Shortcut(const std::wstring& group, const std::wstring& name, const std::wstring& program) const
    {
        const std::wstring folder = m_folder.Path() + L"\\Favorites\\" + group;
        ::CreateDirectoryW((m_folder.Path() + L"\\Favorites").c_str(), nullptr);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(base::WriteFileAtomic(folder + L"\\" + name + L".txt", std::string(program.begin(), program.end())));
    }
    template <typename Condition>
    [[nodiscard]] static bool PumpUntil(Condition done)
    {
        const DWORD deadline = ::GetTickCount() + 20000;
        for (MSG msg; !done() && static_cast<LONG>(deadline - ::GetTickCount()) > 0;) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return done();
    }
    void Type(const std::wstring& text, UINT message = WM_CHAR) const
    {
        for (const wchar_t c : text)
            ::SendMessageW(m_list, message, c, 0);
    }
    void Key(WPARAM key) const { ::SendMessageW(m_list, WM_KEYDOWN, key, 0); }

    // Each row's text, groups without their "[n]"; then the filter shown, if any.
    [[nodiscard]] Names Seen() const
    {
        Names seen;
        for (int row = 0; row < static_cast<int>(::SendMessageW(m_list, LB_GETCOUNT, 0, 0)); ++row) {
            wchar_t text[64]{};
            ::SendMessageW(m_list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
            seen.push_back(std::wstring(text).substr(0, std::wstring(text).find(L" [")));
        }
        HWND filter = m_window->Controls().Filter().Handle();
        wchar_t text[64]{};
        ::GetWindowTextW(filter, text, 64);
        if (::IsWindowVisible(filter))
            seen.push_back(L"filter: " + std::wstring(text));
        return seen;
    }

    base::ComApartment m_com;
    testing_support::TempFolder m_folder;
    app::AppState m_state;
    std::shared_ptr<RecordingLauncher> m_launcher = std::make_shared<RecordingLauncher>();
    testing_support::FakeListActionShell m_shell;
    std::unique_ptr<app::Program> m_window;
    HWND m_list = nullptr;
};

} // namespace

TEST_F(TypeToFindTest, TypingFiltersTheListShowsTheFilterAndEnterStartsTheMatchOnlyWhileTheWindowIsSeen)
{
    ::SetForegroundWindow(m_window->Handle());
    EXPECT_EQ(::GetFocus(), m_list) << "the window hands the keyboard to its list";
    ASSERT_EQ(Seen(), (Names{L"工具", L"游戏"}));
    Type(L" cH"); // a blank first would find every name
    EXPECT_EQ(Seen(), (Names{L"游戏", L" Chess", L"filter: cH"}));
    Key(VK_ESCAPE);
    EXPECT_EQ(Seen(), (Names{L"工具", L"游戏"})) << "the groups closed again, as before typing";

    // An input method's characters, then one from the keyboard.
    Type(L"记", WM_IME_CHAR);
    Type(L"事");
    EXPECT_EQ(Seen(), (Names{L"工具", L" 记事本", L"filter: 记事"}));
    Key(VK_BACK);
    EXPECT_EQ(Seen().back(), L"filter: 记");
    Key(VK_BACK);
    EXPECT_EQ(Seen(), (Names{L"工具", L"游戏"}));

    Type(L"ss");
    Key(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] {
        const std::lock_guard lock(m_launcher->mutex);
        return !m_launcher->calls.empty();
    }));
    EXPECT_EQ(m_launcher->calls, (Names{Program(L"chess.exe") + L" in " + m_folder.Path() + L"\\"}));

    // Hidden, or docked at the screen's edge, the window lets nothing through.
    Key(VK_ESCAPE);
    ::ShowWindow(m_window->Handle(), SW_HIDE);
    Type(L"ch");
    ::ShowWindow(m_window->Handle(), SW_SHOW);
    m_state.dockHidden = m_state.dockSliding = true;
    Type(L"ch");
    Key(VK_DOWN);
    EXPECT_EQ(Seen(), (Names{L"工具", L"游戏"}));
    EXPECT_EQ(m_state.listControl.SelectedRow(), -1);
    m_state.dockHidden = m_state.dockSliding = false; // brought back
    Type(L"ch");
    EXPECT_EQ(Seen(), (Names{L"游戏", L" Chess", L"filter: ch"}));
}

// Reloading (a double-click on the title, 应用 in the management panel, a
// drop) keeps the filter and the user's place: it is still shown, the new
// list comes filtered, and the selection stays on its shortcut.
TEST_F(TypeToFindTest, AReloadKeepsTheFilterForTheNewList)
{
    Type(L"ch");
    Shortcut(L"工具", L"Chart", Program(L"chart.exe"));
    Shortcut(L"新", L"Checkers", Program(L"checkers.exe"));
    m_window->ReloadCatalogue();
    ASSERT_TRUE(PumpUntil([&] { return m_window->Loader()->Done(); }));
    EXPECT_EQ(Seen(), (Names{L"工具", L" Chart", L"新", L" Checkers", L"游戏", L" Chess", L"filter: ch"}));
    EXPECT_EQ(m_state.listControl.SelectedRow(), 5) << "the shortcut selected before stays selected";
    Key(VK_ESCAPE);
    EXPECT_EQ(Seen(), (Names{L"工具", L"新", L"游戏"}));
}

// Right of its magnifier the filter's window shows the title bar's gradient
// (as at the right end, where no text ever is) where the title has its text.
TEST_F(TypeToFindTest, TheFilterCoversTheTitleInTheTitleBarsColours)
{
    const RECT area = app::kFilterTitleRect;
    testing_support::Canvas background(app::kMainWidth, app::kMainHeight);
    testing_support::Canvas empty(area.right - area.left, area.bottom - area.top);
    testing_support::Canvas typed(area.right - area.left, area.bottom - area.top);
    app::PaintMainBackground(background.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);
    app::PaintFilterTitle(empty.Dc(), area, L"");
    app::PaintFilterTitle(typed.Dc(), area, L"abc");
    int titleText = 0;
    int typedText = 0;
    for (int y = 0; y < area.bottom - area.top; ++y) {
        const COLORREF bar = background.At(area.right - 1, area.top + y);
        for (int x = 20; x < area.right - area.left; ++x) {
            EXPECT_EQ(empty.At(x, y), bar) << x << "," << y;
            titleText += background.At(area.left + x, area.top + y) != bar;
            typedText += typed.At(x, y) != bar;
        }
    }
    EXPECT_GT(titleText, 0);
    EXPECT_GT(typedText, 0);
}
