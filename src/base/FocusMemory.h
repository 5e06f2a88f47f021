#pragma once
// What a dialog does for its keyboard focus, for our panels: the control
// that had the focus when the user switched away gets it back on return.

#include <windows.h>

namespace base {

class FocusMemory {
public:
    // For WM_ACTIVATE.
    void OnActivate(HWND window, WPARAM state) noexcept;
    // For WM_SETFOCUS: the remembered control, else `fallback`, else the
    // first tab stop.
    void OnSetFocus(HWND window, HWND fallback = nullptr) const noexcept;
    void Forget() noexcept { m_last = nullptr; }

private:
    HWND m_last = nullptr; // not owned: one of the window's controls
};

} // namespace base
