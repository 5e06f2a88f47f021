#include "image/PictureHelpers.h"

#include "base/ComPtr.h"
#include "base/Dib32.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace image {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
// A BITMAPINFOHEADER followed by one 4-byte colour entry; its size field says 44.
constexpr std::size_t kInfoBlockSize = 44;
constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoBlockSize;

// OLE hands GDI handles over as 32-bit values; 64-bit Windows sign-extends them.
HANDLE FromOleHandle(OLE_HANDLE handle) noexcept
{
    return LongToHandle(static_cast<LONG>(handle));
}

std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset, int count) noexcept
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[offset + i];
    return value;
}

// The OLE loader trusts a BMP's header and reads its colour table and pixels
// wherever the header says, past the end of short data. False for a BMP whose
// header claims more bytes than there are; true for anything else, which is
// left to the loader.
bool BmpFitsItsBytes(std::span<const std::uint8_t> bytes) noexcept
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return true;
    const std::uint64_t size = bytes.size();
    if (size < kFileHeaderSize + 12)
        return false;
    const std::uint64_t pixelOffset = ReadLittleEndian(bytes, 10, 4);
    const std::uint64_t headerSize = ReadLittleEndian(bytes, 14, 4);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint64_t bitCount = 0;
    std::uint64_t compression = 0; // BI_RGB
    std::uint64_t imageSize = 0;
    std::uint64_t tableEntries = 0;
    std::uint64_t entrySize = 4;
    if (headerSize == 12) { // BITMAPCOREHEADER
        width = ReadLittleEndian(bytes, 18, 2);
        height = ReadLittleEndian(bytes, 20, 2);
        bitCount = ReadLittleEndian(bytes, 24, 2);
        entrySize = 3;
    } else if (headerSize >= 40 && size >= kFileHeaderSize + 40) {
        width = static_cast<std::int32_t>(ReadLittleEndian(bytes, 18, 4));
        height = static_cast<std::int32_t>(ReadLittleEndian(bytes, 22, 4));
        bitCount = ReadLittleEndian(bytes, 28, 2);
        compression = ReadLittleEndian(bytes, 30, 4);
        imageSize = ReadLittleEndian(bytes, 34, 4);
        tableEntries = ReadLittleEndian(bytes, 46, 4);
        if (compression == 3 && headerSize == 40) // BI_BITFIELDS: three masks follow
            tableEntries = 3;
    } else {
        return false;
    }
    if (bitCount <= 8 && tableEntries == 0)
        tableEntries = std::uint64_t{1} << bitCount;
    if (kFileHeaderSize + headerSize + tableEntries * entrySize > size || pixelOffset > size)
        return false;
    const std::uint64_t available = size - pixelOffset;
    if (compression != 0 && compression != 3) // compressed data states its size
        return imageSize <= available;
    if (bitCount > 32)
        return false;
    // Rows are padded to four bytes. Checking one row first keeps the product
    // below 2^62.
    const auto columns = static_cast<std::uint64_t>(width < 0 ? -width : width);
    const std::uint64_t stride = (columns * bitCount + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    return rows == 0 || (stride <= available && stride * rows <= available);
}

// A picture as a bitmap of its own size: icons are drawn onto white.
base::UniqueBitmap BitmapOf(Picture picture, SIZE size)
{
    if (picture.bitmap || !picture.icon)
        return std::move(picture.bitmap);
    const base::WindowDc screen(nullptr);
    base::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    const base::UniqueMemoryDc dc = base::CreateMemoryDc(screen.get());
    if (!bitmap || !dc)
        return {};
    const base::SelectGuard select(dc.get(), bitmap.get());
    const RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(dc.get(), 0, 0, picture.icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    return bitmap;
}

} // namespace

Picture PictureFromBytes(std::span<const std::uint8_t> bytes, SIZE* size)
{
    if (size)
        *size = {};
    Picture result;
    // GlobalAlloc(0) gives a block that cannot be locked, and OleLoadPicture
    // takes the length as a LONG.
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(LONG_MAX) || !BmpFitsItsBytes(bytes))
        return result;

    // Some decoders are COM objects. This joins the caller's apartment or opens
    // one for the call; declared first so it closes after every object below.
    const base::ComApartment apartment;

    base::UniqueGlobal memory(::GlobalAlloc(GPTR, bytes.size()));
    if (!memory)
        return result;
    void* target = ::GlobalLock(memory.get());
    if (!target)
        return result;
    std::memcpy(target, bytes.data(), bytes.size());
    ::GlobalUnlock(memory.get());

    // The stream borrows the memory (FALSE): its owner above frees it after the
    // stream has been released.
    base::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory.get(), FALSE, stream.put())) || !stream)
        return result;
    // Run mode FALSE: Wine then makes the picture own its handle (with TRUE it
    // leaks the bitmap or icon on every load); on Windows the picture owns it
    // either way and the flag only keeps the original data.
    base::ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                picture.put_void()))
        || !picture)
        return result;

    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_UNINITIALIZED;
    if (FAILED(picture->get_Handle(&handle)) || FAILED(picture->get_Type(&type)) || handle == 0)
        return result;
    // The picture object deletes its own handle when released, so keep copies.
    if (type == PICTYPE_BITMAP)
        result.bitmap.reset(
            static_cast<HBITMAP>(::CopyImage(FromOleHandle(handle), IMAGE_BITMAP, 0, 0, 0)));
    else if (type == PICTYPE_ICON)
        result.icon.reset(::CopyIcon(static_cast<HICON>(FromOleHandle(handle))));
    if (!result || !size)
        return result;

    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    const base::WindowDc screen(nullptr);
    if (screen && SUCCEEDED(picture->get_Width(&width)) && SUCCEEDED(picture->get_Height(&height))) {
        // HIMETRIC is 0.01 mm: 2540 to the inch.
        size->cx = ::MulDiv(width, ::GetDeviceCaps(screen.get(), LOGPIXELSX), 2540);
        size->cy = ::MulDiv(height, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 2540);
    }
    return result;
}

base::UniqueBitmap GreyCopy(HBITMAP source)
{
    BITMAP description{};
    if (::GetObjectType(source) != OBJ_BITMAP
        || ::GetObjectW(source, sizeof description, &description) != sizeof description)
        return {};
    const int width = description.bmWidth;
    const int height = std::abs(description.bmHeight);
    if (width <= 0 || height <= 0)
        return {};

    const base::WindowDc screen(nullptr);
    if (!screen)
        return {};
    base::UniqueBitmap result(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!result)
        return {};

    // One 32-bpp read and write instead of GetPixel/SetPixel per pixel; on a
    // true-colour display each pixel gets the same grey.
    BITMAPINFO info = base::TopDown32Info(width, height);
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (::GetDIBits(screen.get(), source, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    for (RGBQUAD& pixel : pixels) {
        // 0.3 R + 0.59 G + 0.11 B truncated, in exact integer arithmetic: the
        // same as in floating point except where the sum is a whole number,
        // which floating point can put one level lower (white became 254 with
        // the x87 unit), so grey pixels keep their level.
        const auto grey =
            static_cast<BYTE>((30 * pixel.rgbRed + 59 * pixel.rgbGreen + 11 * pixel.rgbBlue) / 100);
        pixel = RGBQUAD{grey, grey, grey, 0};
    }
    if (::SetDIBits(screen.get(), result.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    return result;
}

std::vector<std::uint8_t> BitmapToBmpBytes(HBITMAP bitmap)
{
    if (::GetObjectType(bitmap) != OBJ_BITMAP)
        return {};
    const base::UniqueMemoryDc dc = base::CreateMemoryDc();
    if (!dc)
        return {};

    // GetDIBits writes a colour table (up to 256 entries) or three colour masks
    // after the header; this scratch block has room for either.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    BITMAPINFOHEADER& header = info.header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    auto* const infoPointer = reinterpret_cast<BITMAPINFO*>(&info);
    if (!::GetDIBits(dc.get(), bitmap, 0, 0, nullptr, infoPointer, DIB_RGB_COLORS))
        return {};

    // The file has no room for a colour table, so palette bitmaps are written
    // as 24-bit colour; deeper formats keep their depth as plain RGB.
    if (header.biBitCount <= 8)
        header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
    header.biHeight = std::abs(header.biHeight); // bottom-up rows
    if (header.biWidth <= 0 || header.biHeight <= 0)
        return {};
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(header.biHeight);
    if (imageSize > static_cast<std::uint64_t>(LONG_MAX) - kPixelOffset)
        return {};
    header.biSizeImage = static_cast<DWORD>(imageSize);

    std::vector<std::uint8_t> file(kPixelOffset + static_cast<std::size_t>(imageSize));
    if (::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(header.biHeight), file.data() + kPixelOffset,
                    infoPointer, DIB_RGB_COLORS)
        != header.biHeight)
        return {};

    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfSize = static_cast<DWORD>(file.size());
    fileHeader.bfOffBits = static_cast<DWORD>(kPixelOffset);
    static_assert(sizeof fileHeader == kFileHeaderSize);
    std::memcpy(file.data(), &fileHeader, kFileHeaderSize);

    BITMAPINFOHEADER written = header;
    written.biSize = static_cast<DWORD>(kInfoBlockSize);
    // The 4-byte colour entry after it stays zero.
    std::memcpy(file.data() + kFileHeaderSize, &written, sizeof written);
    return file;
}

base::UniqueBitmap BitmapFromBytes(std::span<const std::uint8_t> bytes, SIZE& size)
{
    size = {};
    return BitmapOf(PictureFromBytes(bytes, &size), size);
}

} // namespace image
