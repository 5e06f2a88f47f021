#include "RealInput.h"

#include <iterator>
#include <vector>

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

void PressChord(std::initializer_list<WORD> virtualKeys)
{
    std::vector<INPUT> input;
    for (const WORD key : virtualKeys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

} // namespace testing_support
