#include "app/FilterTitle.h"

#include "app/MainWindowArt.h"

namespace app {

namespace {
constexpr wchar_t kClassName[] = L"QuilleryFilterTitle";
} // namespace

bool FilterTitle::Create(HWND parent, const RECT& rect)
{
    m_rect = rect;
    // Hidden until something is typed.
    if (!CreateFrom({.name = kClassName}, ChildAt(parent, rect, WS_CHILD)))
        return false;
    // Above the title label it covers.
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
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
            PaintFilterTitle(dc, m_rect, m_text);
        }))
        return result;
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace app
