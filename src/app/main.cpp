// Quillery: a personal box of program shortcuts.

#include "app/AppState.h"
#include "app/Program.h"
#include "toolkit/SingleInstance.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

namespace {

class OleSession {
public:
    OleSession() noexcept : m_result(::OleInitialize(nullptr)) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession()
    {
        if (SUCCEEDED(m_result))
            ::OleUninitialize();
    }

private:
    HRESULT m_result;
};

// Tab, Enter and Esc in the program's panels: each is a window that holds
// controls (WS_EX_CONTROLPARENT), driven the way a dialog is.
bool IsPanelKeyboardMessage(MSG& msg)
{
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    return root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
           ::IsDialogMessageW(root, &msg);
}

int RunMessageLoop()
{
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsPanelKeyboardMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // A shortcut to a removed drive must fail quietly, not stop everything
    // behind a system "no disk" box.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A second copy leaves before it creates or writes anything.
    const toolkit::SingleInstance instance(app::ProgramPath());
    if (instance.AnotherIsRunning())
        return 0;

    const OleSession ole;
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);

    app::AppState state;
    (void)app::MakeDefaultPictures(state); // rows fall back to no picture without them
    state.taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");

    app::Program program(state, app::ProgramDirectory());
    if (!program.Create())
        return 1;
    // A fixed-size window is shown as asked, except maximised.
    ::ShowWindow(program.Handle(), showCommand == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : showCommand);
    ::UpdateWindow(program.Handle());
    return RunMessageLoop();
}
