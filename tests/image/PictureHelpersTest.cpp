#include "image/PictureHelpers.h"
#include "base/Dib32.h"

#include "GdiCount.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <ole2.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

// The test program never initialises COM on its main thread, so every load
// there also exercises the helper's own apartment; one test covers callers
// that did initialise it.

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t Read(const Bytes& in, std::size_t offset, int byteCount)
{
    std::uint32_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = (value << 8) | in.at(offset + i);
    return value;
}

void PutInfoHeader(Bytes& out, int width, int height, int bitCount)
{
    Put(out, 40, 4);
    Put(out, width, 4);
    Put(out, height, 4);
    Put(out, 1, 2);
    Put(out, bitCount, 2);
    for (int i = 0; i < 6; ++i) // compression, image size, resolution, colours
        Put(out, 0, 4);
}

// A 24-bpp BMP file, colour chosen per pixel.
template <typename ColourAt>
Bytes MakeBmp(int width, int height, ColourAt colourAt)
{
    const int stride = (width * 3 + 3) & ~3;
    Bytes out{'B', 'M'};
    Put(out, 54 + stride * height, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    PutInfoHeader(out, width, height, 24);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colourAt(x, y);
            out.insert(out.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
        }
        out.resize(out.size() + stride - width * 3);
    }
    return out;
}

COLORREF Pattern(int x, int y) { return RGB(x * 6, y * 6, 100); }

// A 16x16 32-bpp ICO file of one colour with an all-opaque mask.
Bytes MakeIco(COLORREF colour)
{
    Bytes out;
    Put(out, 0, 2);
    Put(out, 1, 2); // icon
    Put(out, 1, 2); // one image
    out.insert(out.end(), {16, 16, 0, 0});
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, 40 + 16 * 16 * 4 + 16 * 4, 4);
    Put(out, 22, 4);
    PutInfoHeader(out, 16, 32, 32); // height counts the colour and mask halves
    for (int i = 0; i < 16 * 16; ++i)
        out.insert(out.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0xFF});
    out.resize(out.size() + 16 * 4);
    return out;
}

// 2x1: a red pixel then a blue one; two-entry palette, LZW codes clear 0 1 end.
const Bytes kGif{'G', 'I', 'F', '8', '7', 'a', 2, 0, 1, 0, 0x80, 0, 0,
                 0xFF, 0, 0, 0, 0, 0xFF,
                 ',', 0, 0, 0, 0, 2, 0, 1, 0, 0,
                 2, 2, 0x44, 0x0A, 0, ';'};

// 8x8 solid grey 60, baseline JPEG.
const Bytes kJpeg{
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x10, 0x0b, 0x0c, 0x0e, 0x0c, 0x0a, 0x10,
    0x0e, 0x0d, 0x0e, 0x12, 0x11, 0x10, 0x13, 0x18, 0x28, 0x1a, 0x18, 0x16, 0x16, 0x18, 0x31, 0x23,
    0x25, 0x1d, 0x28, 0x3a, 0x33, 0x3d, 0x3c, 0x39, 0x33, 0x38, 0x37, 0x40, 0x48, 0x5c, 0x4e, 0x40,
    0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6d, 0x51, 0x57, 0x5f, 0x62, 0x67, 0x68, 0x67, 0x3e, 0x4d,
    0x71, 0x79, 0x70, 0x64, 0x78, 0x5c, 0x65, 0x67, 0x63, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08,
    0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0xff, 0xc4, 0x00, 0x14,
    0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0x3a, 0xff, 0xd9};

Bytes MakeEmf()
{
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ::Rectangle(dc, 0, 0, 30, 20);
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    Bytes out(::GetEnhMetaFileBits(emf, 0, nullptr));
    ::GetEnhMetaFileBits(emf, static_cast<UINT>(out.size()), out.data());
    ::DeleteEnhMetaFile(emf);
    return out;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// The bitmap's pixels as 32-bpp rows, top row first.
std::vector<RGBQUAD> ReadPixels(HBITMAP bitmap)
{
    const std::vector<DWORD> raw = base::ReadPixels32(bitmap);
    std::vector<RGBQUAD> pixels(raw.size());
    std::memcpy(pixels.data(), raw.data(), raw.size() * sizeof(DWORD));
    return pixels;
}

COLORREF ColourOf(const RGBQUAD& pixel) { return RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue); }

// A top-down DIB section; colours are the palette for 8 bpp and fewer.
base::UniqueBitmap MakeDib(int width, int height, int bitCount, void** bits,
                           const std::vector<RGBQUAD>& colours = {})
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, static_cast<WORD>(bitCount), BI_RGB,
                   0, 0, 0, static_cast<DWORD>(colours.size()), 0};
    std::copy(colours.begin(), colours.end(), info.colours);
    return base::UniqueBitmap(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                                 DIB_RGB_COLORS, bits, nullptr, 0));
}

} // namespace

TEST(PictureFromBytes, BmpGivesABitmapThatOutlivesTheLoaderAndItsDisplaySize)
{
    SIZE size{};
    const image::Picture picture = image::PictureFromBytes(MakeBmp(40, 40, Pattern), &size);
    ASSERT_TRUE(picture.bitmap);
    EXPECT_FALSE(picture.icon);
    // The loader's own bitmap is gone by now; ours must still be a live copy.
    ASSERT_EQ(::GetObjectType(picture.bitmap.get()), static_cast<DWORD>(OBJ_BITMAP));
    const std::vector<RGBQUAD> pixels = ReadPixels(picture.bitmap.get());
    ASSERT_EQ(pixels.size(), 1600u);
    for (const auto& [x, y] : {std::pair{0, 0}, {39, 0}, {0, 39}, {17, 23}})
        EXPECT_EQ(ColourOf(pixels[y * 40 + x]), Pattern(x, y)) << x << "," << y;
    // A bitmap is measured at the display's own resolution: its pixel size, whatever the DPI.
    EXPECT_NEAR(size.cx, 40, 1);
    EXPECT_NEAR(size.cy, 40, 1);
}

TEST(PictureFromBytes, GifAndJpegGiveBitmaps)
{
    const image::Picture gif = image::PictureFromBytes(kGif);
    ASSERT_TRUE(gif.bitmap);
    EXPECT_FALSE(gif.icon);
    const std::vector<RGBQUAD> gifPixels = ReadPixels(gif.bitmap.get());
    ASSERT_EQ(gifPixels.size(), 2u);
    EXPECT_EQ(ColourOf(gifPixels[0]), RGB(255, 0, 0));
    EXPECT_EQ(ColourOf(gifPixels[1]), RGB(0, 0, 255));

    const image::Picture jpeg = image::PictureFromBytes(kJpeg);
    ASSERT_TRUE(jpeg.bitmap);
    EXPECT_FALSE(jpeg.icon);
    const std::vector<RGBQUAD> jpegPixels = ReadPixels(jpeg.bitmap.get());
    ASSERT_EQ(jpegPixels.size(), 64u);
    EXPECT_NEAR(jpegPixels[27].rgbGreen, 60, 3); // lossy
}

TEST(PictureFromBytes, IcoGivesAnIcon)
{
    SIZE size{};
    const image::Picture picture = image::PictureFromBytes(MakeIco(RGB(10, 200, 30)), &size);
    ASSERT_TRUE(picture.icon);
    EXPECT_FALSE(picture.bitmap);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(picture.icon.get(), &info));
    const base::UniqueBitmap colour(info.hbmColor);
    const base::UniqueBitmap mask(info.hbmMask);
    ASSERT_TRUE(colour);
    EXPECT_EQ(ColourOf(ReadPixels(colour.get())[0]), RGB(10, 200, 30));
    EXPECT_NEAR(size.cx, 16, 1);
    EXPECT_NEAR(size.cy, 16, 1);
}

TEST(PictureFromBytes, MetafilesEmptyAndGarbageGiveNothingAndZeroSize)
{
    const Bytes garbage{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', 0, 0xFF, 0x42};
    // The loader would read past the end of a short BMP and return whatever
    // lies there as pixels.
    const auto truncatedBmp = [](std::size_t length) {
        Bytes bmp = MakeBmp(40, 40, Pattern);
        bmp.resize(length);
        return bmp;
    };
    for (const Bytes& bytes :
         {MakeEmf(), Bytes{}, garbage, truncatedBmp(40), truncatedBmp(54 + 4800 - 1)}) {
        SIZE size{7, 7};
        const image::Picture picture = image::PictureFromBytes(bytes, &size);
        EXPECT_FALSE(picture) << bytes.size() << " bytes";
        EXPECT_EQ(size.cx, 0);
        EXPECT_EQ(size.cy, 0);
    }
}

TEST(PictureFromBytes, LoadsWhateverTheThreadsComStateAndLeavesItAsItWas)
{
    enum class Com { None, Ole, MultiThreaded };
    for (const Com state : {Com::None, Com::Ole, Com::MultiThreaded}) {
        std::thread([state] {
            if (state == Com::Ole) {
                ASSERT_EQ(::OleInitialize(nullptr), S_OK);
            } else if (state == Com::MultiThreaded) {
                ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
            }

            EXPECT_TRUE(image::PictureFromBytes(kJpeg).bitmap) << static_cast<int>(state);
            EXPECT_TRUE(image::PictureFromBytes(kGif).bitmap) << static_cast<int>(state);

            // S_OK: COM was not initialised; S_FALSE: still in the caller's apartment.
            const DWORD model = state == Com::MultiThreaded ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED;
            EXPECT_EQ(::CoInitializeEx(nullptr, model), state == Com::None ? S_OK : S_FALSE)
                << static_cast<int>(state);
            ::CoUninitialize();
            if (state == Com::Ole)
                ::OleUninitialize();
            if (state == Com::MultiThreaded)
                ::CoUninitialize();
        }).join();
    }
}

TEST(GreyCopy, WeighsRedGreenAndBluePerPixelAndLeavesTheSourceAlone)
{
    void* bits = nullptr;
    const base::UniqueBitmap source = MakeDib(3, 2, 32, &bits);
    ASSERT_TRUE(source);
    const COLORREF colours[6] = {RGB(255, 0, 0),     RGB(0, 255, 0), RGB(0, 0, 255),
                                 RGB(255, 255, 255), RGB(0, 0, 0),   RGB(10, 20, 30)};
    auto* pixels = static_cast<RGBQUAD*>(bits);
    for (int i = 0; i < 6; ++i)
        pixels[i] = {GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0};
    std::vector<RGBQUAD> before(pixels, pixels + 6);

    const base::UniqueBitmap grey = image::GreyCopy(source.get());
    ASSERT_TRUE(grey);
    const SIZE size = BitmapSize(grey.get());
    EXPECT_EQ(size.cx, 3);
    EXPECT_EQ(size.cy, 2);
    BITMAP description{};
    ::GetObjectW(grey.get(), sizeof description, &description);
    const base::WindowDc screen(nullptr);
    EXPECT_EQ(description.bmBitsPixel, ::GetDeviceCaps(screen.get(), BITSPIXEL));

    // 10,20,30 gives 3 + 11.8 + 3.3 = 18.1.
    const int expected[6] = {76, 150, 28, 255, 0, 18};
    const std::vector<RGBQUAD> result = ReadPixels(grey.get());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ColourOf(result[i]), RGB(expected[i], expected[i], expected[i])) << "pixel " << i;
    EXPECT_EQ(0, std::memcmp(before.data(), pixels, 6 * sizeof(RGBQUAD)));
}

TEST(GreyCopy, GreyPixelsKeepTheirLevel)
{
    void* bits = nullptr;
    const base::UniqueBitmap source = MakeDib(256, 1, 32, &bits);
    ASSERT_TRUE(source);
    auto* pixels = static_cast<RGBQUAD*>(bits);
    for (int v = 0; v < 256; ++v)
        pixels[v] = {static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v), 0};
    const std::vector<RGBQUAD> result = ReadPixels(image::GreyCopy(source.get()).get());
    ASSERT_EQ(result.size(), 256u);
    // Floating-point sums may land one level lower on whole numbers (an
    // accepted error); the helper's integer arithmetic must not.
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(ColourOf(result[v]), RGB(v, v, v)) << v;
}

TEST(PictureHelpers, HandlesThatAreNotBitmapsGiveEmptyResults)
{
    const base::UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    for (HBITMAP handle : {static_cast<HBITMAP>(nullptr), reinterpret_cast<HBITMAP>(brush.get())}) {
        EXPECT_FALSE(image::GreyCopy(handle));
        EXPECT_TRUE(image::BitmapToBmpBytes(handle).empty());
    }
}

TEST(BitmapToBmpBytes, TrueColourBitmapKeepsItsDepthInTheFixedLayoutBottomUp)
{
    void* bits = nullptr;
    const base::UniqueBitmap source = MakeDib(40, 40, 24, &bits);
    ASSERT_TRUE(source);
    auto* sourceBytes = static_cast<std::uint8_t*>(bits);
    for (int i = 0; i < 4800; ++i)
        sourceBytes[i] = static_cast<std::uint8_t>(i * 7 + i / 120);

    const Bytes file = image::BitmapToBmpBytes(source.get());
    ASSERT_EQ(file.size(), 58u + 4800u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Read(file, 2, 4), 4858u);
    EXPECT_EQ(Read(file, 6, 4), 0u);
    EXPECT_EQ(Read(file, 10, 4), 58u);
    EXPECT_EQ(Read(file, 14, 4), 44u);
    EXPECT_EQ(Read(file, 18, 4), 40u);
    EXPECT_EQ(Read(file, 22, 4), 40u); // positive: bottom-up
    EXPECT_EQ(Read(file, 28, 2), 24u);
    EXPECT_EQ(Read(file, 30, 4), static_cast<std::uint32_t>(BI_RGB));
    // The source rows run top-down, the file's bottom-up.
    for (int row = 0; row < 40; ++row)
        ASSERT_EQ(0, std::memcmp(&file[58 + row * 120], sourceBytes + (39 - row) * 120, 120)) << row;
}

TEST(BitmapToBmpBytes, PaletteBitmapIsWrittenAsTwentyFourBitColourWithoutOverrun)
{
    // 8 bpp: 256 palette entries, as many as GetDIBits can write.
    std::vector<RGBQUAD> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<BYTE>(i / 2), static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 0};
    void* bits = nullptr;
    const base::UniqueBitmap eightBit = MakeDib(5, 3, 8, &bits, palette);
    ASSERT_TRUE(eightBit);
    auto* indices = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            indices[y * 8 + x] = static_cast<std::uint8_t>(y * 64 + x * 31);

    const Bytes file = image::BitmapToBmpBytes(eightBit.get());
    ASSERT_EQ(file.size(), 58u + 16u * 3u); // 5 pixels of 3 bytes padded to 16
    EXPECT_EQ(Read(file, 10, 4), 58u);
    EXPECT_EQ(Read(file, 14, 4), 44u);
    EXPECT_EQ(Read(file, 28, 2), 24u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const RGBQUAD& expected = palette[y * 64 + x * 31];
            const std::size_t at = 58 + (2 - y) * 16 + x * 3;
            EXPECT_EQ(RGB(file[at + 2], file[at + 1], file[at]),
                      RGB(expected.rgbRed, expected.rgbGreen, expected.rgbBlue))
                << x << "," << y;
        }
    }
}

TEST(BitmapToBmpBytes, WrittenFileLoadsBackWithTheSamePixels)
{
    const image::Picture original = image::PictureFromBytes(MakeBmp(40, 40, Pattern));
    ASSERT_TRUE(original.bitmap);
    const image::Picture reloaded = image::PictureFromBytes(image::BitmapToBmpBytes(original.bitmap.get()));
    ASSERT_TRUE(reloaded.bitmap);
    const std::vector<RGBQUAD> pixels = ReadPixels(reloaded.bitmap.get());
    ASSERT_EQ(pixels.size(), 1600u);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(ColourOf(pixels[y * 40 + x]), Pattern(x, y)) << x << "," << y;
}

TEST(PictureHelpers, RepeatedUseLeavesNoGdiObjectsBehind)
{
    const Bytes bmp = MakeBmp(40, 40, Pattern);
    const Bytes ico = MakeIco(RGB(1, 2, 3));
    auto once = [&] {
        image::Picture picture = image::PictureFromBytes(bmp);
        image::Picture icon = image::PictureFromBytes(ico);
        base::UniqueBitmap grey = image::GreyCopy(picture.bitmap.get());
        EXPECT_FALSE(image::BitmapToBmpBytes(grey.get()).empty());
    };
    once(); // the first call may load decoders that stay
    const int before = testing_support::LiveGdiObjects();
    for (int i = 0; i < 25; ++i)
        once();
    EXPECT_EQ(testing_support::LiveGdiObjects(), before);
}
