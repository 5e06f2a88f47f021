#include "toolkit/FileDialog.h"

#include "TempFolder.h"
#include "base/Handles.h"
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::wstring>;

// What the user does in the dialog once it shows: types `typed` and presses
// Open, or Cancel when it is empty. The choices of its file type box and its
// owner are kept.
struct DialogUser {
    std::wstring typed;
    Lines choices = {};
    HWND owner = nullptr;
    bool acted = false;
    int ticksSince = 0;
};
DialogUser g_user;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t cls[16]{};
    ::GetClassNameW(window, cls, 16);
    if (std::wstring(cls) != L"#32770" || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void Act(HWND dialog)
{
    HWND types = ::GetDlgItem(dialog, cmb1);
    const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        g_user.choices.push_back(text);
    }
    g_user.owner = ::GetWindow(dialog, GW_OWNER);
    if (g_user.typed.empty()) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    // An edit box, or a combo box to type into: Wine's is an extended one.
    HWND name = ::GetDlgItem(dialog, edt1);
    if (!name)
        name = ::GetDlgItem(dialog, cmb13);
    if (HWND inner = reinterpret_cast<HWND>(::SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0)))
        name = inner;
    ::SetWindowTextW(name, g_user.typed.c_str());
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// Runs inside the dialog's own message loop.
void CALLBACK TickInDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    if (!g_user.acted) {
        g_user.acted = true;
        Act(dialog);
    } else if (++g_user.ticksSince >= 60) {
        // Still open (or a message box over it): the test fails rather than hangs.
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::wstring ChooseAs(HWND owner, const std::wstring& typed, const wchar_t* filter, const wchar_t* extension)
{
    g_user = {.typed = typed};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &TickInDialog);
    EXPECT_TRUE(timer);
    std::wstring chosen = toolkit::ChooseFile(owner, filter, extension);
    ::KillTimer(nullptr, timer);
    return chosen;
}

} // namespace

TEST(FileDialog, OffersTheFiltersChoicesAndGivesTheChosenFilesFullPath)
{
    testing_support::TempFolder folder;
    const std::wstring track = folder.Path() + L"\\歌 琝.mp3";
    ASSERT_TRUE(base::WriteFileAtomic(track, "x"));
    const base::UniqueWindow owner{
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 300, 250, 200, 100, nullptr, nullptr, nullptr, nullptr)};

    EXPECT_EQ(ChooseAs(owner.get(), track, L"MP3文件(*.mp3)|*.mp3|所有文件(*.*)|*.*", L"mp3"), track);
    EXPECT_EQ(g_user.choices, (Lines{L"MP3文件(*.mp3)", L"所有文件(*.*)"}));
    EXPECT_EQ(g_user.owner, owner.get());

    EXPECT_EQ(ChooseAs(owner.get(), L"", L"应用程序(*.exe)|*.exe", nullptr), L"");
    EXPECT_EQ(g_user.choices, Lines{L"应用程序(*.exe)"});
}
