#include "toolkit/PictureBox.h"

#include "base/Handles.h"

namespace toolkit {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryPictureBox";

// The stock DC brush takes any colour without making a GDI object per paint.
void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    const COLORREF previous = ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    if (previous != CLR_INVALID)
        ::SetDCBrushColor(dc, previous);
}

} // namespace

bool PictureBox::Create(HWND parent, const RECT& rect, COLORREF background)
{
    m_background = background;
    return CreateFrom({.name = kClassName}, ChildAt(parent, rect, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
}

// Everything here goes through the object found from the window, never
// through the class's procedure address, so a procedure put in front with
// SetWindowLongPtrW that chains back with CallWindowProcW loses nothing.
LRESULT PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        Fill(reinterpret_cast<HDC>(wParam), client, m_background);
        return message == WM_ERASEBKGND ? 1 : 0;
    }
    case WM_PAINT: {
        // Painted here too: a procedure in front may have swallowed the erase.
        const base::PaintDc paint(Handle());
        Fill(paint.get(), paint.dirty(), m_background);
        return 0;
    }
    default:
        break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace toolkit
