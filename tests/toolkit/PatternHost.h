#pragma once
// A popup parent for toolkit controls whose every pixel tells where it is,
// (x, y) being RGB(x, y, 0x80), so a picture taken from the wrong place
// shows in its colours.

#include "base/Dib32.h"

namespace testing_support {

[[nodiscard]] constexpr COLORREF PatternAt(int x, int y)
{
    return RGB(x, y, 0x80);
}

class PatternHost {
public:
    PatternHost()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QuilleryToolkitTestHost";
            return ::RegisterClassW(&wc);
        }();
        m_hwnd.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(atom), L"", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                       160, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    }
    [[nodiscard]] HWND Handle() const { return m_hwnd.get(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        static const base::Dib32 picture = [] {
            base::Dib32 dib = base::CreateDib32(240, 160);
            for (int i = 0; i < 240 * 160; ++i)
                dib.pixels[i] = base::ToDibPixel(PatternAt(i % 240, i / 240));
            return dib;
        }();
        if (message != WM_PAINT && message != WM_PRINTCLIENT)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        PAINTSTRUCT ps{};
        HDC dc = message == WM_PAINT ? ::BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
        {
            base::UniqueMemoryDc memory = base::CreateMemoryDc(dc);
            const base::SelectGuard select(memory.get(), picture.bitmap.get());
            ::BitBlt(dc, 0, 0, 240, 160, memory.get(), 0, 0, SRCCOPY);
        }
        if (message == WM_PAINT)
            ::EndPaint(hwnd, &ps);
        return 0;
    }

    base::UniqueWindow m_hwnd;
};

// Dispatches messages for about ms milliseconds.
inline void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
}

} // namespace testing_support
