#include "RealInput.h"

namespace testing_support {

namespace {

void SendButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

} // namespace

POINT ScreenPointOf(HWND window, POINT client)
{
    ::ClientToScreen(window, &client);
    return client;
}

void MoveMouseTo(POINT screen)
{
    // Absolute input is scaled to 0..65535; SetCursorPos lands on the exact
    // pixel and still reaches the window under it as a mouse move.
    ::SetCursorPos(screen.x, screen.y);
}

void Click(POINT screen)
{
    MoveMouseTo(screen);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
}

void RightClick(POINT screen)
{
    MoveMouseTo(screen);
    SendButton(MOUSEEVENTF_RIGHTDOWN);
    SendButton(MOUSEEVENTF_RIGHTUP);
}

void DoubleClick(POINT screen)
{
    Click(screen);
    Click(screen);
}

void Drag(POINT from, POINT to, int steps)
{
    MoveMouseTo(from);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= steps; ++i) {
        // The move loop reads the pointer as it goes; each step gets a moment.
        ::Sleep(20);
        MoveMouseTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
    ::Sleep(20);
    SendButton(MOUSEEVENTF_LEFTUP);
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT input[2]{};
        for (INPUT& key : input) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = c;
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        ::SendInput(2, input, sizeof(INPUT));
    }
}

void PressKey(WORD virtualKey)
{
    INPUT input[2]{};
    for (INPUT& key : input) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = virtualKey;
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
}

void PressKeyWith(WORD modifier, WORD virtualKey)
{
    INPUT input[4]{};
    const WORD keys[4] = {modifier, virtualKey, virtualKey, modifier};
    for (int i = 0; i < 4; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = keys[i];
        input[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, input, sizeof(INPUT));
}

} // namespace testing_support
