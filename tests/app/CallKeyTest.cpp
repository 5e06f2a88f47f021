// The key that calls the window: how Instal.ini spells it, and what it does
// to a real main window put away in the tray, docked, or in front.

#include "app/Hotkey.h"
#include "app/Program.h"

#include "MessagePump.h"
#include "TempFolder.h"
#include "base/ComPtr.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using testing_support::PumpFor;
using testing_support::PumpUntil;

std::wstring TextOf(HWND window)
{
    wchar_t text[128]{};
    ::GetWindowTextW(window, text, 128);
    return text;
}

class CallKey : public testing::Test {
protected:
    void Start(const char* settings = nullptr)
    {
        if (settings) {
            ASSERT_TRUE(base::WriteFileAtomic(m_folder.Path() + L"\\Instal.ini", settings));
        }
        m_window = std::make_unique<app::Program>(m_state, m_folder.Path());
        ASSERT_TRUE(m_window->Create());
        ::ShowWindow(m_window->Handle(), SW_SHOW);
    }
    void TearDown() override
    {
        m_window.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void Press() { ::SendMessageW(m_window->Handle(), WM_HOTKEY, 1, 0); }
    [[nodiscard]] HWND Title() { return m_window->Controls().TitleLabel().Handle(); }

    base::ComApartment m_com;
    testing_support::TempFolder m_folder;
    app::AppState m_state;
    std::unique_ptr<app::Program> m_window;
};

} // namespace

TEST(Hotkey, ReadsTheKeysAsPeopleWriteThem)
{
    using app::Hotkey;
    using app::ParseHotkey;
    EXPECT_EQ(ParseHotkey(L"Ctrl+Alt+Q"), (Hotkey{MOD_CONTROL | MOD_ALT, 'Q'}));
    EXPECT_EQ(ParseHotkey(L" alt + space "), (Hotkey{MOD_ALT, VK_SPACE}));
    EXPECT_EQ(ParseHotkey(L"Win+Shift+k"), (Hotkey{MOD_WIN | MOD_SHIFT, 'K'}));
    EXPECT_EQ(ParseHotkey(L"F12"), (Hotkey{0, VK_F12})) << "a function key may stand alone";
    for (const wchar_t* bad : {L"Q", L"Ctrl+", L"Ctrl+Ctrl+Q", L"Ctrl+Alt+QQ", L"Hyper+Q", L"Ctrl++", L"F25", L""})
        EXPECT_FALSE(ParseHotkey(bad).has_value()) << bad;
    EXPECT_EQ(app::HotkeyText(*ParseHotkey(L"shift+ctrl+f5")), L"Ctrl+Shift+F5");
}

TEST_F(CallKey, BringsTheWindowBackFromTheTrayReadyToTypeAndSendsItBack)
{
    Start();
    ASSERT_EQ(m_window->CallKey(), app::Program::CallKeyState::Registered);
    m_state.listControl.SetFilter(L"old");
    m_window->MinimiseToTray();
    ASSERT_FALSE(::IsWindowVisible(m_window->Handle()));

    Press();
    EXPECT_TRUE(::IsWindowVisible(m_window->Handle()));
    EXPECT_EQ(::GetForegroundWindow(), m_window->Handle());
    EXPECT_EQ(::GetFocus(), m_state.listControl.GetWindowHandle()) << "the keyboard in the list";
    EXPECT_EQ(m_state.listControl.FilterText(), L"") << "the old filter cleared";
    EXPECT_FALSE(m_window->Tray().Installed()) << "the tray icon gone";

    Press();
    EXPECT_FALSE(::IsWindowVisible(m_window->Handle())) << "back to the tray it came from";
    EXPECT_TRUE(m_window->Tray().Installed());
}

TEST_F(CallKey, ADockedWindowComesOutAndGoesBackToItsStrip)
{
    Start();
    const HWND window = m_window->Handle();
    // Docked: the strip at the top edge.
    ::SetWindowPos(window, nullptr, 300, 0, 275, 2, SWP_NOZORDER);
    m_state.dockHidden = true;

    Press();
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.bottom - r.top, 555) << "whole at the top";
    EXPECT_FALSE(m_state.dockHidden);
    // The mouse is far away, yet the dock timer leaves it where the key put it.
    PumpFor(400);
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.bottom - r.top, 555);

    Press();
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.bottom - r.top, 2) << "the strip again";
    EXPECT_TRUE(m_state.dockHidden);
}

TEST_F(CallKey, AKeyTakenOrWrittenWrongIsSaidOverTheTitleAndNothingElseChanges)
{
    // Another program holds Ctrl+Alt+Q.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 77, MOD_CONTROL | MOD_ALT, 'Q'));
    Start();
    EXPECT_EQ(m_window->CallKey(), app::Program::CallKeyState::Taken);
    EXPECT_EQ(TextOf(Title()), L"热键 Ctrl+Alt+Q 已被占用");
    EXPECT_TRUE(PumpUntil([&] { return TextOf(Title()) == L"Quillery"; }, 8000)) << "then the title again";
    ::UnregisterHotKey(nullptr, 77);
    m_window.reset();

    Start("[基本配置]\r\n呼出热键=Ctrl+Hyper+Q\r\n");
    EXPECT_EQ(m_window->CallKey(), app::Program::CallKeyState::Invalid);
    EXPECT_EQ(TextOf(Title()), L"热键设置无效");
    m_window.reset();

    Start("[基本配置]\r\n呼出热键=\r\n");
    EXPECT_EQ(m_window->CallKey(), app::Program::CallKeyState::Off) << "empty turns it off";
    EXPECT_EQ(TextOf(Title()), L"Quillery");
}
