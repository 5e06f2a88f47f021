#include "dib/DibImage.h"

#include "base/Handles.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace dib {

namespace {

// Colours written as 0xRRGGBB, the usual notation; stored as RGBQUAD bytes.
using Rgb = std::uint32_t;

constexpr void PutQuad(std::uint8_t* out, Rgb colour)
{
    out[0] = static_cast<std::uint8_t>(colour & 0xFF);
    out[1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    out[2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
    out[3] = 0;
}

template <std::size_t N>
constexpr std::array<std::uint8_t, N * 4> QuadsFrom(const std::array<Rgb, N>& colours)
{
    std::array<std::uint8_t, N * 4> quads{};
    for (std::size_t i = 0; i < N; ++i)
        PutQuad(quads.data() + i * 4, colours[i]);
    return quads;
}

constexpr std::array<Rgb, 2> kColours2{0x000000, 0xFFFFFF};

constexpr std::array<Rgb, 16> kColours16{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// The twenty static colours at both ends, a colour cube in between.
constexpr std::array<Rgb, 256> MakeColours256()
{
    constexpr std::array<Rgb, 10> low{0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                      0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
    constexpr std::array<Rgb, 10> high{0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                       0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::array<Rgb, 256> colours{};
    for (std::size_t i = 0; i < 10; ++i) {
        colours[i] = low[i];
        colours[246 + i] = high[i];
    }
    for (Rgb i = 10; i <= 245; ++i) {
        const Rgb red = (i % 8) * 32;
        const Rgb green = ((i / 8) % 8) * 32;
        const Rgb blue = (i / 64) * 64;
        colours[i] = (red << 16) | (green << 8) | blue;
    }
    return colours;
}

constexpr auto kPalette2 = QuadsFrom(kColours2);
constexpr auto kPalette16 = QuadsFrom(kColours16);
constexpr auto kPalette256 = QuadsFrom(MakeColours256());

// The BMP file size field is 32 bits, and sizes are handed around as int.
constexpr std::int64_t kMaxDataSize = INT_MAX - DibImage::kFileHeaderSize;

void Put16(std::uint8_t* out, std::uint16_t value) noexcept
{
    out[0] = static_cast<std::uint8_t>(value & 0xFF);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* out, std::uint32_t value) noexcept
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::uint16_t Get16(const std::uint8_t* in) noexcept
{
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* in) noexcept
{
    return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
           (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

// -1 marks a depth we do not hold.
int EntriesFor(int bits) noexcept
{
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    case 16:
    case 24:
    case 32:
        return 0;
    default:
        return -1;
    }
}

std::span<const std::uint8_t> PaletteFor(int bits) noexcept
{
    switch (bits) {
    case 1:
        return kPalette2;
    case 4:
        return kPalette16;
    case 8:
        return kPalette256;
    default:
        return {};
    }
}

std::int64_t PixelBytesFor(int width, int height, int bits) noexcept
{
    const std::int64_t bitsPerRow = static_cast<std::int64_t>(width) * bits;
    if (bitsPerRow > INT_MAX)
        return -1;
    return static_cast<std::int64_t>(DibImage::StrideFor(static_cast<int>(bitsPerRow))) * height;
}

// Builds into a separate buffer so a refusal leaves the caller's image as it was.
bool BuildBlank(int width, int height, int bits, std::vector<std::uint8_t>& out) noexcept
{
    const int entries = EntriesFor(bits);
    // A non-positive size would make a negative length or a top-down header.
    if (entries < 0 || width <= 0 || height <= 0)
        return false;
    const std::int64_t pixelBytes = PixelBytesFor(width, height, bits);
    if (pixelBytes < 0)
        return false;
    const std::int64_t size = DibImage::kInfoHeaderSize + entries * 4 + pixelBytes;
    if (size > kMaxDataSize)
        return false;
    try {
        out.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    BITMAPINFOHEADER header{};
    header.biSize = DibImage::kInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    const auto headerBytes = DibImage::InfoHeaderBytes(header);
    std::copy(headerBytes.begin(), headerBytes.end(), out.begin());
    const auto palette = PaletteFor(bits);
    std::copy(palette.begin(), palette.end(), out.begin() + DibImage::kInfoHeaderSize);
    return true;
}

// Blits from dc into a DIB section made from packed's header and colour
// table, then copies the section's pixels into packed.
bool CopyPixels(HDC dc, int left, int top, int width, int height, int bits,
                std::vector<std::uint8_t>& packed) noexcept
{
    struct PackedInfo {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    };
    PackedInfo info{};
    const std::size_t headerAndTable =
        static_cast<std::size_t>(DibImage::kInfoHeaderSize + EntriesFor(bits) * 4);
    std::memcpy(&info, packed.data(), headerAndTable);
    const auto pixelBytes = static_cast<std::size_t>(PixelBytesFor(width, height, bits));

    base::UniqueMemoryDc memoryDc = base::CreateMemoryDc(dc);
    if (!memoryDc)
        return false;
    void* sectionBits = nullptr;
    base::UniqueBitmap section(::CreateDIBSection(memoryDc.get(),
                                                  reinterpret_cast<const BITMAPINFO*>(&info),
                                                  DIB_RGB_COLORS, &sectionBits, nullptr, 0));
    // Without the section there are no pixels to copy; reporting success
    // would hand the caller a black picture as if it were the capture.
    if (!section || !sectionBits)
        return false;
    base::SelectGuard select(memoryDc.get(), section.get());
    if (::GetCurrentObject(memoryDc.get(), OBJ_BITMAP) != section.get())
        return false;
    if (!::BitBlt(memoryDc.get(), 0, 0, width, height, dc, left, top, SRCCOPY))
        return false;
    // The section's bits are only current once queued GDI work is done.
    ::GdiFlush();
    std::memcpy(packed.data() + headerAndTable, sectionBits, pixelBytes);
    return true;
}

} // namespace

int DibImage::ColourCount(std::span<const std::uint8_t> infoHeaderBytes) noexcept
{
    if (infoHeaderBytes.size() < 16)
        return -1;
    return EntriesFor(Get16(infoHeaderBytes.data() + 14));
}

std::array<std::uint8_t, DibImage::kFileHeaderSize> DibImage::FileHeaderBytes(
    const BITMAPFILEHEADER& header) noexcept
{
    std::array<std::uint8_t, kFileHeaderSize> bytes{};
    Put16(&bytes[0], header.bfType);
    Put32(&bytes[2], header.bfSize);
    Put16(&bytes[6], header.bfReserved1);
    Put16(&bytes[8], header.bfReserved2);
    Put32(&bytes[10], header.bfOffBits);
    return bytes;
}

std::array<std::uint8_t, DibImage::kInfoHeaderSize> DibImage::InfoHeaderBytes(
    const BITMAPINFOHEADER& header) noexcept
{
    std::array<std::uint8_t, kInfoHeaderSize> bytes{};
    Put32(&bytes[0], header.biSize);
    Put32(&bytes[4], static_cast<std::uint32_t>(header.biWidth));
    Put32(&bytes[8], static_cast<std::uint32_t>(header.biHeight));
    Put16(&bytes[12], header.biPlanes);
    Put16(&bytes[14], header.biBitCount);
    Put32(&bytes[16], header.biCompression);
    Put32(&bytes[20], header.biSizeImage);
    Put32(&bytes[24], static_cast<std::uint32_t>(header.biXPelsPerMeter));
    Put32(&bytes[28], static_cast<std::uint32_t>(header.biYPelsPerMeter));
    Put32(&bytes[32], header.biClrUsed);
    Put32(&bytes[36], header.biClrImportant);
    return bytes;
}

std::span<const std::uint8_t, 8> DibImage::Palette2() noexcept { return kPalette2; }
std::span<const std::uint8_t, 64> DibImage::Palette16() noexcept { return kPalette16; }
std::span<const std::uint8_t, 1024> DibImage::Palette256() noexcept { return kPalette256; }

bool DibImage::Create(int width, int height, int bits) noexcept
{
    std::vector<std::uint8_t> fresh;
    if (!BuildBlank(width, height, bits, fresh))
        return false;
    m_data = std::move(fresh);
    return true;
}

bool DibImage::CaptureFromDC(HDC dc, const RECT& rect, int bits) noexcept
{
    if (!dc || EntriesFor(bits) < 0)
        return false;
    const std::int64_t width = static_cast<std::int64_t>(rect.right) - rect.left;
    const std::int64_t height = static_cast<std::int64_t>(rect.bottom) - rect.top;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return false;
    const bool reuse = !m_data.empty() && BitsPerPixel() == bits && Width() == width &&
                       Height() == height;
    std::vector<std::uint8_t> fresh;
    if (!reuse && !BuildBlank(static_cast<int>(width), static_cast<int>(height), bits, fresh))
        return false;
    std::vector<std::uint8_t>& target = reuse ? m_data : fresh;
    // A failed blit into a reused buffer leaves it untouched: the copy is last.
    if (!CopyPixels(dc, rect.left, rect.top, static_cast<int>(width), static_cast<int>(height),
                    bits, target))
        return false;
    if (!reuse)
        m_data = std::move(fresh);
    return true;
}

int DibImage::Width() const noexcept
{
    return m_data.size() < kInfoHeaderSize ? 0 : static_cast<std::int32_t>(Get32(&m_data[4]));
}

int DibImage::Height() const noexcept
{
    return m_data.size() < kInfoHeaderSize ? 0 : static_cast<std::int32_t>(Get32(&m_data[8]));
}

int DibImage::BitsPerPixel() const noexcept
{
    return m_data.size() < kInfoHeaderSize ? 0 : Get16(&m_data[14]);
}

int DibImage::RowBytes() const noexcept
{
    if (m_data.size() < kInfoHeaderSize)
        return 0;
    const int planes = Get16(&m_data[12]);
    // Create bounded width × bits to an int; planes is 1.
    const std::int64_t bitsPerRow = static_cast<std::int64_t>(Width()) * planes * BitsPerPixel();
    return bitsPerRow > INT_MAX ? 0 : StrideFor(static_cast<int>(bitsPerRow));
}

int DibImage::PixelSize() const noexcept { return RowBytes() * Height(); }

int DibImage::PaletteSize() const noexcept
{
    if (m_data.size() < kInfoHeaderSize)
        return 0;
    return std::max(0, ColourCount(std::span(m_data).first(kInfoHeaderSize))) * 4;
}

const std::uint8_t* DibImage::DataAddress() const noexcept
{
    return m_data.empty() ? nullptr : m_data.data();
}

const std::uint8_t* DibImage::PaletteAddress() const noexcept
{
    return PaletteSize() == 0 ? nullptr : m_data.data() + kInfoHeaderSize;
}

const std::uint8_t* DibImage::PixelAddress() const noexcept
{
    return m_data.empty() ? nullptr : m_data.data() + kInfoHeaderSize + PaletteSize();
}

std::vector<std::uint8_t> DibImage::ToBmpFile() const
{
    if (m_data.empty())
        return {};
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfSize = static_cast<DWORD>(kFileHeaderSize + m_data.size());
    header.bfOffBits = static_cast<DWORD>(kFileHeaderSize + kInfoHeaderSize + PaletteSize());
    const auto headerBytes = FileHeaderBytes(header);
    std::vector<std::uint8_t> file;
    file.reserve(kFileHeaderSize + m_data.size());
    file.insert(file.end(), headerBytes.begin(), headerBytes.end());
    file.insert(file.end(), m_data.begin(), m_data.end());
    return file;
}

} // namespace dib
