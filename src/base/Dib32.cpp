#include "base/Dib32.h"

namespace base {

BITMAPINFO TopDown32Info(int width, int height) noexcept
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: rows run top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Dib32 CreateDib32(int width, int height) noexcept
{
    Dib32 dib;
    if (width <= 0 || height <= 0)
        return dib;
    const BITMAPINFO info = TopDown32Info(width, height);
    void* bits = nullptr;
    dib.bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dib.pixels = dib.bitmap ? static_cast<DWORD*>(bits) : nullptr;
    return dib;
}

std::vector<DWORD> ReadPixels32(HBITMAP bitmap)
{
    BITMAP bm{};
    if (::GetObjectType(bitmap) != OBJ_BITMAP || !::GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 ||
        bm.bmHeight == 0)
        return {};
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    BITMAPINFO info = TopDown32Info(bm.bmWidth, height);
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(height));
    const WindowDc screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    return pixels;
}

} // namespace base
