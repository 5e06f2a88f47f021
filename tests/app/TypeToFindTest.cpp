// Typing in the real main window: the filter it builds, where it shows, Enter
// starting the selected shortcut, and the windows that must not take keys.

#include "app/MainWindow.h"

#include "app/MainLayout.h"
#include "app/MainWindowArt.h"

#include "Canvas.h"
#include "TempFolder.h"
#include "base/ComPtr.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

class RecordingLauncher final : public catalogue::ProgramLauncher {
public:
    bool Open(const std::wstring& path, const std::wstring& folder) override
    {
        const std::lock_guard lock(m_mutex); // called on a thread of the launcher's
        m_calls.emplace_back(path, folder);
        return true;
    }
    std::vector<std::pair<std::wstring, std::wstring>> Calls()
    {
        const std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::wstring, std::wstring>> m_calls;
};

class TypeToFindTest : public testing::Test {
protected:
    void SetUp() override
    {
        Shortcut(L"工具", L"记事本", L"C:\\Windows\\notepad.exe");
        Shortcut(L"工具", L"画图", L"C:\\Windows\\mspaint.exe");
        Shortcut(L"游戏", L"Chess", L"C:\\Games\\Chess\\chess.exe");
        m_window = std::make_unique<app::MainWindow>(m_state, m_folder.Path());
        m_window->SetLauncher(m_launcher);
        ASSERT_TRUE(m_window->Create());
        ::ShowWindow(m_window->Handle(), SW_SHOW);
        m_list = m_state.listControl.GetWindowHandle();
        ASSERT_TRUE(m_list);
        WaitForLoad();
    }
    void TearDown() override
    {
        m_window.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
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
        while (!done() && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return done();
    }
    void WaitForLoad() { ASSERT_TRUE(PumpUntil([&] { return m_window->Loader()->Done(); })); }

    void Type(const std::wstring& text, UINT message = WM_CHAR) const
    {
        for (const wchar_t c : text)
            ::SendMessageW(m_list, message, c, 0);
    }
    void Key(WPARAM key) const { ::SendMessageW(m_list, WM_KEYDOWN, key, 0); }

    // Each row's name, groups without their "[n]".
    [[nodiscard]] std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> rows;
        const auto count = static_cast<int>(::SendMessageW(m_list, LB_GETCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            const auto item = m_state.listControl.ReadItem(m_state.listControl.GetHandleAtRow(row));
            rows.push_back(item ? item->name.substr(0, item->name.find(L" [")) : L"?");
        }
        return rows;
    }
    [[nodiscard]] std::wstring Shown() const
    {
        HWND filter = m_window->Controls().Filter().Handle();
        if (!::IsWindowVisible(filter))
            return L"(hidden)";
        wchar_t text[64]{};
        ::GetWindowTextW(filter, text, 64);
        return text;
    }

    base::ComApartment m_com;
    testing_support::TempFolder m_folder;
    app::AppState m_state;
    std::shared_ptr<RecordingLauncher> m_launcher = std::make_shared<RecordingLauncher>();
    std::unique_ptr<app::MainWindow> m_window;
    HWND m_list = nullptr;
};

using Names = std::vector<std::wstring>;

} // namespace

TEST_F(TypeToFindTest, TypingFiltersTheListShowsTheFilterOverTheTitleAndEnterStartsTheMatch)
{
    ::SetForegroundWindow(m_window->Handle());
    EXPECT_EQ(::GetFocus(), m_list) << "the window hands the keyboard to its list";
    ASSERT_EQ(Rows(), (Names{L"工具", L"游戏"}));
    EXPECT_EQ(Shown(), L"(hidden)");

    Type(L" cH"); // a blank first would find every name
    EXPECT_EQ(Rows(), (Names{L"游戏", L" Chess"}));
    EXPECT_EQ(Shown(), L"cH");
    Key(VK_ESCAPE);
    EXPECT_EQ(Rows(), (Names{L"工具", L"游戏"})) << "the groups closed again, as before typing";
    EXPECT_EQ(Shown(), L"(hidden)");

    // An input method's characters, then one more from the keyboard.
    Type(L"记", WM_IME_CHAR);
    Type(L"事");
    EXPECT_EQ(Rows(), (Names{L"工具", L" 记事本"}));
    EXPECT_EQ(Shown(), L"记事");
    Key(VK_BACK);
    EXPECT_EQ(Shown(), L"记");
    Key(VK_BACK);
    EXPECT_EQ(Shown(), L"(hidden)");
    EXPECT_EQ(Rows(), (Names{L"工具", L"游戏"}));

    Type(L"ss");
    EXPECT_EQ(Rows(), (Names{L"游戏", L" Chess"}));
    Key(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !m_launcher->Calls().empty(); }));
    EXPECT_EQ(m_launcher->Calls(),
              (std::vector<std::pair<std::wstring, std::wstring>>{{L"C:\\Games\\Chess\\chess.exe", L"C:\\Games\\Chess\\"}}));
}

TEST_F(TypeToFindTest, AHiddenOrDockedWindowTakesNoKeys)
{
    ::ShowWindow(m_window->Handle(), SW_HIDE);
    Type(L"ch");
    Key(VK_DOWN);
    EXPECT_EQ(m_state.listControl.FilterText(), L"");
    EXPECT_EQ(m_state.listControl.SelectedRow(), -1);

    ::ShowWindow(m_window->Handle(), SW_SHOW);
    m_state.dockHidden = 1;
    m_state.dockSliding = 1;
    Type(L"ch");
    Key(VK_DOWN);
    EXPECT_EQ(m_state.listControl.FilterText(), L"");
    EXPECT_EQ(m_state.listControl.SelectedRow(), -1);

    m_state.dockHidden = 0;
    m_state.dockSliding = 0;
    Type(L"ch");
    EXPECT_EQ(Shown(), L"ch");
}

// Reloading (a double-click on the title, 应用 in the management panel, a
// drop) keeps the filter: it is still shown, and the new list comes filtered.
TEST_F(TypeToFindTest, AReloadKeepsTheFilterForTheNewList)
{
    Type(L"ch");
    ASSERT_EQ(Rows(), (Names{L"游戏", L" Chess"}));
    Shortcut(L"工具", L"Chart", L"C:\\Tools\\chart.exe");
    Shortcut(L"新", L"Checkers", L"C:\\Games\\checkers.exe");
    m_window->ReloadCatalogue();
    WaitForLoad();
    EXPECT_EQ(Shown(), L"ch");
    EXPECT_EQ(Rows(), (Names{L"工具", L" Chart", L"新", L" Checkers", L"游戏", L" Chess"}));
    EXPECT_EQ(m_state.listControl.SelectedRow(), 1) << "the first match";
    Key(VK_ESCAPE);
    EXPECT_EQ(Rows(), (Names{L"工具", L"新", L"游戏"}));
}

TEST_F(TypeToFindTest, TheFilterCoversTheTitleInTheTitleBarsColours)
{
    constexpr COLORREF kSentinel = RGB(1, 2, 3);
    const RECT area = app::kFilterTitleRect;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    testing_support::Canvas background(app::kMainWidth, app::kMainHeight, kSentinel);
    testing_support::Canvas empty(width, height, kSentinel);
    testing_support::Canvas typed(width, height, kSentinel);
    app::PaintMainBackground(background.Dc(), {0, 0, app::kMainWidth, app::kMainHeight}, nullptr);
    app::PaintFilterTitle(empty.Dc(), area, L"");
    app::PaintFilterTitle(typed.Dc(), area, L"abc");
    // Right of the magnifier: the title bar's gradient alone (as at the
    // label's right end, where no text ever is), where the title had its text.
    int titleText = 0;
    int typedText = 0;
    for (int y = 0; y < height; ++y) {
        const COLORREF bar = background.At(area.right - 1, area.top + y);
        for (int x = 20; x < width; ++x) {
            EXPECT_EQ(empty.At(x, y), bar) << x << "," << y;
            titleText += background.At(area.left + x, area.top + y) != bar;
            typedText += typed.At(x, y) != bar;
        }
    }
    EXPECT_GT(titleText, 0);
    EXPECT_GT(typedText, 0);
}
