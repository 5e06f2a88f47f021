#include "catalogue/ProgramIcons.h"

#include "base/ComPtr.h"
#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/PathParts.h"
#include "dib/DibImage.h"

// MinGW's commoncontrols.h needs commctrl.h before it.
#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>


namespace catalogue {

namespace {

// IID_IImageList, which MinGW's libuuid lacks.
constexpr IID kImageListId = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

struct ShellIcon {
    base::UniqueIcon icon; // the shell hands it over: ours to destroy once drawn
    int size = 0;
};

// The program's icon from the smallest image list of at least `wanted`
// pixels, or from the largest there is when none is that large.
// The shell's image-list index of a program's icon. The shell reads no
// path past MAX_PATH; a program there that exists shows its file type's
// icon, not nothing.
bool ShellIconIndex(const std::wstring& programPath, int& index)
{
    SHFILEINFOW info{};
    // An empty path would give the icon of the current folder, not "no icon".
    if (programPath.empty())
        return false;
    if (!::SHGetFileInfoW(programPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_SYSICONINDEX)) {
        if (programPath.size() < MAX_PATH ||
            ::GetFileAttributesW(base::ExtendedPath(programPath).c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        const std::wstring_view name = base::FileNameOf(programPath);
        const auto stem = base::StemOf(name);
        const std::wstring ofType = L"x" + std::wstring(stem ? name.substr(stem->size()) : std::wstring_view());
        if (!::SHGetFileInfoW(ofType.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                              SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES))
            return false;
    }
    index = info.iIcon;
    return true;
}

ShellIcon ShellIconFor(const std::wstring& programPath, int wanted)
{
    int index = 0;
    if (!ShellIconIndex(programPath, index))
        return {};
    base::ComPtr<IImageList> chosen;
    int chosenSize = 0;
    for (const int list : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
        base::ComPtr<IImageList> images;
        int cx = 0;
        int cy = 0;
        if (FAILED(::SHGetImageList(list, kImageListId, images.put_void())) || !images ||
            FAILED(images->GetIconSize(&cx, &cy)) || cx <= 0)
            continue;
        // Too small so far: any larger one is better; large enough: a smaller one that still is.
        const bool better =
            chosenSize == 0 || (chosenSize < wanted ? cx > chosenSize : cx >= wanted && cx < chosenSize);
        if (better) {
            chosen = std::move(images);
            chosenSize = cx;
        }
    }
    ShellIcon result;
    if (chosen && SUCCEEDED(chosen->GetIcon(index, ILD_TRANSPARENT, result.icon.put())) && result.icon)
        result.size = chosenSize;
    return result;
}

} // namespace

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

std::vector<std::uint8_t> ProgramIconPicture(const std::wstring& programPath, HWND dcWindow, int pixelSize)
{
    const ShellIcon shell = ShellIconFor(programPath, pixelSize);
    if (!shell.icon || shell.size <= pixelSize)
        return IconToPicture(shell.icon.get(), dcWindow, pixelSize, pixelSize);

    // Larger than wanted: drawn on white at its own size first, then
    // averaged down, which keeps its edges smooth where drawing it straight
    // at the smaller size would drop pixels.
    base::WindowDc windowDc(dcWindow);
    if (!windowDc)
        return {};
    const base::UniqueMemoryDc full = base::CreateMemoryDc(windowDc.get());
    const base::UniqueMemoryDc small = base::CreateMemoryDc(windowDc.get());
    const base::UniqueBitmap fullSurface(::CreateCompatibleBitmap(windowDc.get(), shell.size, shell.size));
    const base::UniqueBitmap smallSurface(::CreateCompatibleBitmap(windowDc.get(), pixelSize, pixelSize));
    if (pixelSize <= 0 || !full || !small || !fullSurface || !smallSurface)
        return {};
    dib::DibImage image;
    {
        const base::SelectGuard selectFull(full.get(), fullSurface.get());
        const base::SelectGuard selectSmall(small.get(), smallSurface.get());
        const RECT whole{0, 0, shell.size, shell.size};
        ::FillRect(full.get(), &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::DrawIconEx(full.get(), 0, 0, shell.icon.get(), shell.size, shell.size, 0, nullptr, DI_NORMAL);
        ::SetStretchBltMode(small.get(), HALFTONE);
        ::SetBrushOrgEx(small.get(), 0, 0, nullptr);
        if (!::StretchBlt(small.get(), 0, 0, pixelSize, pixelSize, full.get(), 0, 0, shell.size, shell.size, SRCCOPY))
            return {};
        if (!image.CaptureFromDC(small.get(), {0, 0, pixelSize, pixelSize}, 32))
            return {};
    }
    return image.ToBmpFile();
}

} // namespace catalogue
