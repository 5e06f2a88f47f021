#include "dib/DibImage.h"

#include "base/Handles.h"

#include "Canvas.h"
#include "GdiCount.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace {

using dib::DibImage;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le32(const std::uint8_t* p)
{
    std::uint32_t value = 0;
    std::memcpy(&value, p, 4);
    return value;
}

Bytes Slice(const std::uint8_t* p, std::size_t n) { return Bytes(p, p + n); }

using testing_support::Canvas;

// Distinct per pixel, so misplaced rows, columns or channels show.
std::uint32_t ColourAt(int x, int y)
{
    const std::uint32_t red = (0x10u + x * 0x27u) & 0xFF, green = (0x08u + y * 0x35u) & 0xFF;
    return red << 16 | green << 8 | ((x * 7u + y * 13u) & 0xFF);
}

void Paint(Canvas& canvas, int width, int height, std::uint32_t salt = 0)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas.Set(x, y, ColourAt(x, y) ^ salt);
}

// The B, G, R bytes expected for the canvas pixel at (x, y).
Bytes Bgr(int x, int y, std::uint32_t salt = 0)
{
    const std::uint32_t c = ColourAt(x, y) ^ salt;
    return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
            static_cast<std::uint8_t>(c >> 16)};
}

} // namespace

TEST(DibImage, StrideRoundsRowsUpToWholeWords)
{
    EXPECT_EQ(DibImage::StrideFor(1), 4);
    EXPECT_EQ(DibImage::StrideFor(32), 4);
    EXPECT_EQ(DibImage::StrideFor(33), 8);
    EXPECT_EQ(DibImage::StrideFor(24 * 3), 12);
}

TEST(DibImage, EmptyImageReadsAsNothing)
{
    DibImage image;
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(image.BitsPerPixel(), 0);
    EXPECT_EQ(image.PixelSize(), 0);
    EXPECT_EQ(image.PaletteSize(), 0);
    EXPECT_EQ(image.PixelAddress(), nullptr);
    EXPECT_EQ(image.PaletteAddress(), nullptr);
    EXPECT_TRUE(image.ToBmpFile().empty());
    EXPECT_EQ(DibImage::ColourCount(std::span<const std::uint8_t>(image.Data())), -1);
}

TEST(DibImage, TwentyFourBitImageHasNoColourTable)
{
    DibImage image;
    ASSERT_TRUE(image.Create(3, 2, 24));
    const Bytes& data = image.Data();
    ASSERT_EQ(data.size(), 64u);
    EXPECT_EQ(Le32(&data[0]), 40u);
    EXPECT_EQ(Le32(&data[4]), 3u);
    EXPECT_EQ(Le32(&data[8]), 2u);
    EXPECT_EQ(Le32(&data[12]), 1u | 24u << 16); // planes, bits per pixel
    EXPECT_EQ(Bytes(data.begin() + 16, data.end()), Bytes(48, 0));
    EXPECT_EQ(image.PaletteSize(), 0);
    EXPECT_EQ(image.PaletteAddress(), nullptr);
    EXPECT_EQ(image.PixelAddress(), data.data() + 40);
    EXPECT_EQ(image.PixelSize(), 24);

    const Bytes file = image.ToBmpFile();
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(Slice(file.data(), 10), (Bytes{'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Le32(&file[10]), 54u);
    EXPECT_EQ(Bytes(file.begin() + 14, file.end()), data);
}

TEST(DibImage, IndexedImagesCarryTheirColourTables)
{
    DibImage image;
    ASSERT_TRUE(image.Create(10, 10, 8));
    ASSERT_EQ(image.Data().size(), 40u + 1024 + 12 * 10);
    const std::uint8_t* table = image.Data().data() + 40;
    EXPECT_EQ(image.PaletteAddress(), table);
    const auto palette256 = DibImage::Palette256();
    EXPECT_EQ(Slice(table, 1024), Bytes(palette256.begin(), palette256.end()));
    EXPECT_EQ(Le32(&image.ToBmpFile()[10]), 1078u);
    // Entries worked out by hand: static colours, both cube ends, the last static colours.
    EXPECT_EQ(Slice(table + 8 * 4, 8), (Bytes{0xC0, 0xDC, 0xC0, 0, 0xF0, 0xCA, 0xA6, 0}));
    EXPECT_EQ(Slice(table + 10 * 4, 4), (Bytes{0, 32, 64, 0}));
    EXPECT_EQ(Slice(table + 245 * 4, 8), (Bytes{192, 192, 160, 0, 0xF0, 0xFB, 0xFF, 0}));
    EXPECT_EQ(Slice(table + 255 * 4, 4), (Bytes{0xFF, 0xFF, 0xFF, 0}));

    ASSERT_TRUE(image.Create(9, 1, 1));
    EXPECT_EQ(image.Data().size(), 40u + 8 + 4);
    EXPECT_EQ(Slice(image.PaletteAddress(), 8), (Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}));
    EXPECT_EQ(Le32(&image.ToBmpFile()[10]), 62u);

    ASSERT_TRUE(image.Create(5, 3, 4));
    EXPECT_EQ(image.Data().size(), 40u + 64 + 4 * 3);
    EXPECT_EQ(Slice(image.PaletteAddress() + 7 * 4, 12),
              (Bytes{0x80, 0x80, 0x80, 0, 0xC0, 0xC0, 0xC0, 0, 0, 0, 0xFF, 0}));
    EXPECT_EQ(Slice(image.PaletteAddress() + 4, 4), (Bytes{0, 0, 0x80, 0}));
}

TEST(DibImage, RefusalsLeaveTheImageUnchanged)
{
    Canvas canvas(4, 4);
    DibImage image;
    ASSERT_TRUE(image.Create(4, 4, 32));
    const Bytes before = image.Data();
    for (int bits : {0, 2, 3, 64})
        EXPECT_FALSE(image.Create(4, 4, bits)) << bits;
    EXPECT_FALSE(image.Create(0, 4, 32));
    EXPECT_FALSE(image.Create(4, -1, 32));
    EXPECT_FALSE(image.Create(30000, 30000, 32)); // over 2 GB
    EXPECT_FALSE(image.CaptureFromDC(nullptr, RECT{0, 0, 2, 2}, 32));
    EXPECT_FALSE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 2, 2}, 2));
    EXPECT_FALSE(image.CaptureFromDC(canvas.Dc(), RECT{3, 0, 1, 2}, 32));
    EXPECT_EQ(image.Data(), before);
}

TEST(DibCapture, RowsAreBottomUpBgrAndPadded)
{
    Canvas canvas(5, 4);
    Paint(canvas, 5, 4);
    const RECT rect{2, 1, 5, 3}; // 3 × 2 from (2, 1)

    DibImage image;
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), rect, 32));
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    ASSERT_EQ(image.Data().size(), 40u + 3 * 4 * 2);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Slice(image.PixelAddress() + row * 12 + x * 4, 3), Bgr(2 + x, 2 - row))
                << row << x;

    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), rect, 24));
    ASSERT_EQ(image.Data().size(), 40u + 12 * 2);
    for (int row = 0; row < 2; ++row) {
        const std::uint8_t* line = image.PixelAddress() + row * 12;
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Slice(line + x * 3, 3), Bgr(2 + x, 2 - row)) << row << x;
        EXPECT_EQ(Slice(line + 9, 3), Bytes(3, 0));
    }
}

TEST(DibCapture, EightBitsIndexTheColourTable)
{
    Canvas canvas(4, 1);
    const std::uint32_t colours[] = {0xFF0000, 0x00FFFF, 0x402000, 0xFFFFFF};
    for (int x = 0; x < 4; ++x)
        canvas.Set(x, 0, colours[x]);
    DibImage image;
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 4, 1}, 8));
    EXPECT_EQ(Slice(image.PixelAddress(), 4), (Bytes{249, 254, 10, 255}));
}

TEST(DibCapture, SameShapeReusesTheBufferOtherShapesRecreateIt)
{
    Canvas canvas(6, 6);
    Paint(canvas, 6, 6);
    DibImage image;
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 4, 4}, 32));
    const std::uint8_t* buffer = image.Data().data();

    Paint(canvas, 6, 6, 0x00FF00);
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{2, 1, 6, 5}, 32));
    EXPECT_EQ(image.Data().data(), buffer);
    EXPECT_EQ(Slice(image.PixelAddress(), 3), Bgr(2, 4, 0x00FF00)); // bottom-left of the new rect

    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 6, 5}, 32));
    EXPECT_EQ(image.Width(), 6);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_EQ(image.Data().size(), 40u + 6 * 4 * 5);
    EXPECT_EQ(Slice(image.PixelAddress() + 4 * 24 + 5 * 4, 3), Bgr(5, 0, 0x00FF00)); // top-right

    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 6, 5}, 24));
    EXPECT_EQ(image.BitsPerPixel(), 24);
    EXPECT_EQ(image.Data().size(), 40u + 20 * 5);
}

TEST(DibCapture, IconSizedCaptureMakesABmpFileThatLoadsBack)
{
    Canvas canvas(32, 32);
    Paint(canvas, 32, 32);
    DibImage image;
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 32, 32}, 32));
    const Bytes file = image.ToBmpFile();
    ASSERT_EQ(file.size(), 4150u);
    EXPECT_EQ(Le32(&file[2]), 4150u);
    ASSERT_EQ(Le32(&file[10]), 54u);

    const auto* info = reinterpret_cast<const BITMAPINFO*>(&file[14]);
    base::WindowDc screen(nullptr);
    base::UniqueBitmap loaded(
        ::CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, &file[54], info,
                         DIB_RGB_COLORS));
    ASSERT_TRUE(loaded);
    BITMAPINFO topDown{};
    topDown.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(32 * 32);
    ASSERT_EQ(::GetDIBits(screen.get(), loaded.get(), 0, 32, pixels.data(), &topDown,
                          DIB_RGB_COLORS),
              32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(pixels[y * 32 + x] & 0xFFFFFF, ColourAt(x, y)) << x << ',' << y;
}

TEST(DibCapture, RepeatedCapturesLeakNoGdiObjects)
{
    Canvas canvas(8, 8);
    DibImage image;
    ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 8, 8}, 32));
    const int before = testing_support::LiveGdiObjects();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(image.CaptureFromDC(canvas.Dc(), RECT{0, 0, 4 + i % 2, 4}, i % 3 ? 32 : 8));
    EXPECT_EQ(testing_support::LiveGdiObjects(), before);
}
