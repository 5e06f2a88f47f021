#include "grouplist/PaintContext.h"

#include <algorithm>

namespace grouplist {

bool PaintContext::Prepare(HWND window, HFONT font, int width, int height)
{
    m_window = window;
    m_font = font;
    return Grow(width, height);
}

void PaintContext::SetFont(HFONT font)
{
    m_font = font;
    if (m_canvas && font)
        ::SelectObject(m_canvas.get(), font);
}

HDC PaintContext::Canvas(int width, int height)
{
    if (width > m_size.cx || height > m_size.cy || !m_canvas) {
        if (!Grow(std::max<int>(width, m_size.cx), std::max<int>(height, m_size.cy)))
            return nullptr;
    }
    return m_canvas.get();
}

bool PaintContext::Grow(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    const base::WindowDc window(m_window);
    if (!window.get())
        return false;
    base::UniqueBitmap bitmap(::CreateCompatibleBitmap(window.get(), width, height));
    if (!bitmap)
        return false;
    if (!m_canvas) {
        base::UniqueMemoryDc canvas = base::CreateMemoryDc(window.get());
        base::UniqueMemoryDc source = base::CreateMemoryDc(window.get());
        if (!canvas || !source)
            return false;
        // Selected for the DC's life: the DC pen and brush take any colour,
        // and the stock objects need no restoring.
        ::SelectObject(canvas.get(), ::GetStockObject(DC_PEN));
        ::SelectObject(canvas.get(), ::GetStockObject(DC_BRUSH));
        if (m_font)
            ::SelectObject(canvas.get(), m_font);
        ::SetBkMode(canvas.get(), TRANSPARENT);
        m_canvas = std::move(canvas);
        m_source = std::move(source);
    }
    ::SelectObject(m_canvas.get(), bitmap.get());
    m_bitmap = std::move(bitmap); // the old one is no longer selected
    m_size = {width, height};
    return true;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    ::SetDCBrushColor(dc, colour);
    ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

} // namespace grouplist
