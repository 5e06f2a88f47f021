#include "app/CornerMask.h"

#include "base/Dib32.h"
#include "base/Dpi.h"

#include <algorithm>
#include <vector>

namespace app {

base::UniqueBitmap MakeCornerMask(int width, int height, int dpi)
{
    base::Dib32 dib = base::CreateDib32(width, height);
    if (!dib.bitmap)
        return {};
    const DWORD white = base::ToDibPixel(RGB(255, 255, 255));
    const DWORD key = base::ToDibPixel(kTransparentKey);
    std::fill(dib.pixels, dib.pixels + static_cast<size_t>(width) * height, white);

    // The staircase of one corner: the design's first row loses three
    // pixels, the second two, the third one, each row and pixel scaled.
    for (int step = 0; step < 3; ++step) {
        const int rowFrom = base::Scaled(step, dpi);
        const int rowTo = std::min(base::Scaled(step + 1, dpi), height);
        const int cut = std::min(base::Scaled(3 - step, dpi), width);
        for (int y = rowFrom; y < rowTo; ++y) {
            for (const int row : {y, height - 1 - y}) {
                DWORD* line = dib.pixels + static_cast<size_t>(row) * width;
                std::fill(line, line + cut, key);
                std::fill(line + width - cut, line + width, key);
            }
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
