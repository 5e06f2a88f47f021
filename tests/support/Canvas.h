#pragma once
// A 32-bit top-down DIB section selected into a memory DC: tests paint into
// it through the DC and read or write its pixels directly.

#include "base/Dib32.h"

#include <algorithm>
#include <optional>

namespace testing_support {

class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_dib(base::CreateDib32(width, height))
    {
        m_select.emplace(m_dc.get(), m_dib.bitmap.get());
    }
    Canvas(int width, int height, COLORREF fill) : Canvas(width, height)
    {
        std::fill(m_dib.pixels, m_dib.pixels + static_cast<size_t>(width) * height, base::ToDibPixel(fill));
    }

    [[nodiscard]] HDC Dc() const { return m_dc.get(); }
    [[nodiscard]] COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        return base::FromDibPixel(m_dib.pixels[static_cast<size_t>(y) * m_width + x]);
    }
    void Set(int x, int y, DWORD rrggbb) { m_dib.pixels[static_cast<size_t>(y) * m_width + x] = rrggbb; }

private:
    int m_width;
    base::UniqueMemoryDc m_dc = base::CreateMemoryDc();
    base::Dib32 m_dib;
    std::optional<base::SelectGuard> m_select;
};

} // namespace testing_support
