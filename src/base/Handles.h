#pragma once
// One move-only owner per handle kind, and scoped guards for the GDI calls
// that must be undone in pairs (GetDC/ReleaseDC, BeginPaint/EndPaint,
// SelectObject and back).

#include <windows.h>

#include <utility>

namespace base {

// Traits give the handle type, its empty value and how to close it.
template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type handle) noexcept : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    [[nodiscard]] Type get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    void reset(Type handle = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }
    [[nodiscard]] Type release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    // For APIs that return the handle through an out-parameter.
    Type* put() noexcept
    {
        reset();
        return &m_handle;
    }

private:
    Type m_handle = Traits::Invalid();
};

namespace detail {
template <typename T, auto CloseFunction>
struct NullTraits {
    using Type = T;
    static constexpr T Invalid() noexcept { return nullptr; }
    static void Close(T handle) noexcept { CloseFunction(handle); }
};
template <auto CloseFunction>
struct InvalidValueTraits {
    using Type = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { CloseFunction(handle); }
};
inline void CloseKernel(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseFind(HANDLE h) noexcept { ::FindClose(h); }
inline void DeleteGdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteMemoryDc(HDC h) noexcept { ::DeleteDC(h); }
inline void DestroyIconHandle(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyWindowHandle(HWND h) noexcept { ::DestroyWindow(h); }
inline void FreeGlobalMemory(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void FreeLibraryModule(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void DestroyMenuHandle(HMENU h) noexcept { ::DestroyMenu(h); }
} // namespace detail

using UniqueKernelHandle = UniqueHandle<detail::NullTraits<HANDLE, detail::CloseKernel>>;
using UniqueFileHandle = UniqueHandle<detail::InvalidValueTraits<detail::CloseKernel>>;
using UniqueFindHandle = UniqueHandle<detail::InvalidValueTraits<detail::CloseFind>>;
using UniqueBitmap = UniqueHandle<detail::NullTraits<HBITMAP, detail::DeleteGdi>>;
using UniqueFont = UniqueHandle<detail::NullTraits<HFONT, detail::DeleteGdi>>;
using UniqueBrush = UniqueHandle<detail::NullTraits<HBRUSH, detail::DeleteGdi>>;
using UniquePen = UniqueHandle<detail::NullTraits<HPEN, detail::DeleteGdi>>;
using UniqueRegion = UniqueHandle<detail::NullTraits<HRGN, detail::DeleteGdi>>;
using UniqueMemoryDc = UniqueHandle<detail::NullTraits<HDC, detail::DeleteMemoryDc>>;
using UniqueIcon = UniqueHandle<detail::NullTraits<HICON, detail::DestroyIconHandle>>;
using UniqueWindow = UniqueHandle<detail::NullTraits<HWND, detail::DestroyWindowHandle>>;
using UniqueGlobal = UniqueHandle<detail::NullTraits<HGLOBAL, detail::FreeGlobalMemory>>;
using UniqueModule = UniqueHandle<detail::NullTraits<HMODULE, detail::FreeLibraryModule>>;
using UniqueMenu = UniqueHandle<detail::NullTraits<HMENU, detail::DestroyMenuHandle>>;

// GetDC / ReleaseDC. A null window means the screen.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    [[nodiscard]] HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window; // not owned
    HDC m_dc;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) noexcept : m_window(window) { ::BeginPaint(window, &m_paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(m_window, &m_paint); }
    [[nodiscard]] HDC get() const noexcept { return m_paint.hdc; }
    [[nodiscard]] const RECT& dirty() const noexcept { return m_paint.rcPaint; }

private:
    HWND m_window; // not owned
    PAINTSTRUCT m_paint{};
};

// SelectObject, undone when the guard leaves scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;           // not owned
    HGDIOBJ m_previous; // not owned: it belongs to whoever selected it first
};

[[nodiscard]] inline UniqueMemoryDc CreateMemoryDc(HDC compatibleWith = nullptr) noexcept
{
    return UniqueMemoryDc(::CreateCompatibleDC(compatibleWith));
}

} // namespace base
