#include "catalogue/ProgramIcons.h"

#include "base/Handles.h"
#include "dib/DibImage.h"

#include <shellapi.h>

namespace catalogue {

std::vector<std::uint8_t> IconToPicture(HICON icon, HWND dcWindow, int width, int height, COLORREF colour)
{
    base::WindowDc windowDc(dcWindow);
    if (!windowDc)
        return {};
    base::UniqueMemoryDc memory = base::CreateMemoryDc(windowDc.get());
    // As large as the picture: a fixed 32 x 32 surface would be read past
    // its edges for any larger size.
    base::UniqueBitmap surface(::CreateCompatibleBitmap(windowDc.get(), width, height));
    base::UniqueBrush brush(::CreateSolidBrush(colour));
    if (width <= 0 || height <= 0 || !memory || !surface || !brush)
        return {};

    dib::DibImage image;
    {
        base::SelectGuard select(memory.get(), surface.get());
        const RECT area = {0, 0, width, height};
        ::FillRect(memory.get(), &area, brush.get());
        if (icon)
            ::DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        if (!image.CaptureFromDC(memory.get(), area, 32))
            return {};
    }
    return image.ToBmpFile();
}

std::vector<std::uint8_t> ProgramIconPicture(const std::wstring& programPath, HWND dcWindow)
{
    SHFILEINFOW info{};
    // An empty path would give the icon of the current folder, not "no icon".
    if (!programPath.empty())
        ::SHGetFileInfoW(programPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON);
    // The shell hands over its icon; ours to destroy once drawn.
    const base::UniqueIcon icon(info.hIcon);
    return IconToPicture(icon.get(), dcWindow);
}

} // namespace catalogue
