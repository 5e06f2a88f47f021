#pragma once
// Base of every window class: registers its window class once and routes
// messages through a static thunk to the object, which lives in
// GWLP_USERDATA from WM_NCCREATE to WM_NCDESTROY.

#include "base/Handles.h"

#include <windows.h>

#include <functional>

namespace base {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists. By then the derived object is
    // gone, so its handlers do not see that destruction: a derived class that
    // must act on WM_DESTROY destroys its window before it dies.
    virtual ~Window();

    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }

    // The object behind a window made by this base, or null.
    [[nodiscard]] static Window* FromHandle(HWND hwnd) noexcept;

protected:
    Window() = default;

    struct ClassInfo {
        const wchar_t* name = nullptr;
        UINT style = 0;
        HCURSOR cursor = nullptr;    // null: the arrow
        HBRUSH background = nullptr; // not owned; null: the window paints everything
        HICON icon = nullptr;        // not owned
        HICON smallIcon = nullptr;   // not owned
    };

    struct CreateInfo {
        DWORD exStyle = 0;
        const wchar_t* title = L"";
        DWORD style = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
        HMENU menu = nullptr;
    };

    [[nodiscard]] bool CreateFrom(const ClassInfo& cls, const CreateInfo& info) noexcept;
    // A framed popup designed as a whole window of designSize at 96 DPI (its
    // client area scales, the frame is the system's), centred over its owner
    // (info.parent) at the owner's scale, or at its own should it come up on
    // a monitor of another. info's place is ignored. The DPI it is drawn at;
    // 0 when it could not be made.
    [[nodiscard]] int CreateScaledPopup(const ClassInfo& cls, CreateInfo info, SIZE designSize) noexcept;
    // For WM_DPICHANGED: the window takes the suggested rectangle, which keeps
    // it where the user put it; gives the new DPI.
    [[nodiscard]] int TakeSuggestedDpiRect(WPARAM wParam, LPARAM lParam) const noexcept;

    // A child window at rect, in the parent's client coordinates.
    [[nodiscard]] static CreateInfo ChildAt(HWND parent, const RECT& rect,
                                            DWORD style = WS_CHILD | WS_VISIBLE) noexcept
    {
        return {.style = style,
                .x = rect.left,
                .y = rect.top,
                .width = rect.right - rect.left,
                .height = rect.bottom - rect.top,
                .parent = parent};
    }

    // For a window that draws all of its client area in one routine,
    // paint(dc, client rectangle): answers WM_ERASEBKGND (nothing to erase),
    // WM_PAINT and WM_PRINTCLIENT. False for any other message.
    template <typename PaintFunction>
    [[nodiscard]] bool HandlePaintMessage(UINT message, WPARAM wParam, LRESULT& result, PaintFunction&& paint) const
    {
        RECT client{};
        switch (message) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            const PaintDc dc(m_hwnd);
            ::GetClientRect(m_hwnd, &client);
            paint(dc.get(), client);
            result = 0;
            return true;
        }
        case WM_PRINTCLIENT:
            ::GetClientRect(m_hwnd, &client);
            paint(reinterpret_cast<HDC>(wParam), client);
            result = 0;
            return true;
        default:
            return false;
        }
    }

    // For after a call out to a handler that may destroy the window and this
    // object: true while both still exist. It compares, never touches.
    [[nodiscard]] std::function<bool()> StillAlive() const
    {
        return [hwnd = m_hwnd, self = this] { return ::IsWindow(hwnd) && FromHandle(hwnd) == self; };
    }

    // Everything not handled goes to DefWindowProcW.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Called once the window is gone (after WM_NCDESTROY).
    virtual void OnDestroyed() {}

    [[nodiscard]] LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const noexcept
    {
        return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_hwnd = nullptr; // owned: destroyed with the object if still alive
};

} // namespace base
