#include "app/CornerMask.h"

#include "base/Dib32.h"

#include <algorithm>
#include <vector>

namespace app {

base::UniqueBitmap MakeCornerMask(int width, int height)
{
    base::Dib32 dib = base::CreateDib32(width, height);
    if (!dib.bitmap)
        return {};
    const DWORD white = base::ToDibPixel(RGB(255, 255, 255));
    const DWORD key = base::ToDibPixel(kTransparentKey);
    std::fill(dib.pixels, dib.pixels + static_cast<size_t>(width) * height, white);

    // The staircase of one corner, as offsets from that corner inwards.
    static constexpr POINT kStair[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0}};
    const int w = width - 1;
    const int h = height - 1;
    for (const POINT& p : kStair) {
        const POINT corners[] = {{p.x, p.y}, {w - p.x, p.y}, {p.x, h - p.y}, {w - p.x, h - p.y}};
        for (const POINT& c : corners) {
            if (c.x >= 0 && c.x < width && c.y >= 0 && c.y < height)
                dib.pixels[static_cast<size_t>(c.y) * width + c.x] = key;
        }
    }
    ::GdiFlush();
    return std::move(dib.bitmap);
}

base::UniqueRegion RegionWithoutColour(HBITMAP picture, COLORREF key)
{
    BITMAP bm{};
    if (!::GetObjectW(picture, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return {};
    const int width = bm.bmWidth;
    const int height = bm.bmHeight;
    const std::vector<DWORD> pixels = base::ReadPixels32(picture);
    if (pixels.empty())
        return {};

    // One rectangle per run of kept pixels in a row, handed to the system at once.
    const DWORD keyPixel = base::ToDibPixel(key);
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        const DWORD* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width;) {
            while (x < width && (row[x] & 0xFFFFFF) == keyPixel)
                ++x;
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != keyPixel)
                ++x;
            if (x > start)
                runs.push_back({start, y, x, y + 1});
        }
    }
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->rcBound = {0, 0, width, height};
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    return base::UniqueRegion(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                                reinterpret_cast<const RGNDATA*>(data.data())));
}

} // namespace app
