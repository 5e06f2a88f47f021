#pragma once
// Mouse input through the system's input queue (SendInput), as a user
// gives it: hit-testing, capture, double-click timing and the system's
// move loop all take part, unlike messages posted to a window.

#include <windows.h>

#include <initializer_list>
#include <string>

namespace testing_support {

// A point of a window's client area, on the screen.
[[nodiscard]] POINT ScreenPointOf(HWND window, POINT client);

void MoveMouseTo(POINT screen);
void Click(POINT screen);
void RightClick(POINT screen);
void DoubleClick(POINT screen);
// Presses at `from`, moves there to `to` in steps, releases at `to`.
void Drag(POINT from, POINT to, int steps);

// Types text into whatever has the keyboard focus, character by character
// as the keyboard would send it (Chinese included).
void TypeText(const std::wstring& text);
// Presses and releases one key.
void PressKey(WORD virtualKey);
// Presses the keys in order and releases them in reverse: a chord such as
// Ctrl+Alt+Q.
void PressChord(std::initializer_list<WORD> virtualKeys);

} // namespace testing_support
