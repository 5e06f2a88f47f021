#include "app/FilterTitle.h"

#include "app/MainWindowArt.h"

namespace app {

namespace {
constexpr wchar_t kClassName[] = L"QuilleryFilterTitle";
} // namespace

bool FilterTitle::Create(HWND parent, const RECT& rect, int dpi)
{
    m_dpi = dpi;
    // Hidden until something is typed.
    if (!CreateFrom({.name = kClassName}, ChildAt(parent, rect, WS_CHILD)))
        return false;
    // Above the title label it covers.
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void FilterTitle::SetDpi(int dpi)
{
    m_dpi = dpi;
    if (Handle())
        ::InvalidateRect(Handle(), nullptr, FALSE);
}

void FilterTitle::SetText(const std::wstring& text)
{
    if (!Handle() || text == m_text)
        return;
    m_text = text;
    ::SetWindowTextW(Handle(), m_text.c_str());
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::ShowWindow(Handle(), m_text.empty() ? SW_HIDE : SW_SHOWNA);
}

LRESULT FilterTitle::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; HandlePaintMessage(message, wParam, result, [this](HDC dc, const RECT&) {
            // Where it stands in the main window, since it paints the title beneath.
            RECT area{};
            ::GetWindowRect(Handle(), &area);
            ::MapWindowPoints(nullptr, ::GetParent(Handle()), reinterpret_cast<POINT*>(&area), 2);
            PaintFilterTitle(dc, area, m_text, m_dpi);
        }))
        return result;
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace app
