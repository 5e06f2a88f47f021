#include "base/Window.h"

#include "base/Dpi.h"
#include "base/WindowPlacement.h"

#include <exception>

namespace base {

namespace {
// Marks GWLP_USERDATA values set by this base, so FromHandle never
// misreads a foreign window's user data.
constexpr wchar_t kOwnerProperty[] = L"Quillery.Window";
} // namespace

Window::~Window()
{
    if (m_hwnd) {
        HWND hwnd = m_hwnd;
        ::DestroyWindow(hwnd); // WM_NCDESTROY detaches this object
    }
}

Window* Window::FromHandle(HWND hwnd) noexcept
{
    if (!hwnd || !::GetPropW(hwnd, kOwnerProperty))
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Window::CreateFrom(const ClassInfo& cls, const CreateInfo& info) noexcept
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(instance, cls.name, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = &Window::Thunk;
        wc.hInstance = instance;
        wc.hCursor = cls.cursor ? cls.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.background;
        wc.hIcon = cls.icon;
        wc.hIconSm = cls.smallIcon;
        wc.lpszClassName = cls.name;
        if (!::RegisterClassExW(&wc))
            return false;
    }
    HWND hwnd = ::CreateWindowExW(info.exStyle, cls.name, info.title, info.style, info.x, info.y,
                                  info.width, info.height, info.parent, info.menu, instance, this);
    return hwnd != nullptr && hwnd == m_hwnd;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ::SetPropW(hwnd, kOwnerProperty, reinterpret_cast<HANDLE>(1));
    } else {
        self = FromHandle(hwnd);
    }
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dispatch code.
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    if (message == WM_NCDESTROY) {
        ::RemovePropW(hwnd, kOwnerProperty);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        try {
            self->OnDestroyed();
        } catch (...) {
        }
    }
    return result;
}

int Window::CreateScaledPopup(const ClassInfo& cls, CreateInfo info, SIZE designSize) noexcept
{
    const auto placeAt = [&](int dpi) {
        return FramedPlaceOver(info.parent, designSize, info.style, info.exStyle, dpi);
    };
    const int ownerDpi = WindowDpi(info.parent);
    const RECT place = placeAt(ownerDpi);
    info.x = place.left;
    info.y = place.top;
    info.width = place.right - place.left;
    info.height = place.bottom - place.top;
    if (!CreateFrom(cls, info))
        return 0;
    const int own = WindowDpi(m_hwnd);
    if (own != ownerDpi) {
        const RECT refit = placeAt(own);
        ::SetWindowPos(m_hwnd, nullptr, refit.left, refit.top, refit.right - refit.left, refit.bottom - refit.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return own;
}

int Window::TakeSuggestedDpiRect(WPARAM wParam, LPARAM lParam) const noexcept
{
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int dpi = LOWORD(wParam);
    return dpi > 0 ? dpi : WindowDpi(m_hwnd);
}

} // namespace base
