#pragma once
// One device-independent bitmap held as a packed DIB (info header, colour
// table, bottom-up pixel rows in one byte buffer), filled from a blank
// image or a device-context capture and exported as BMP file bytes.

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace dib {

class DibImage {
public:
    static constexpr int kInfoHeaderSize = 40;
    static constexpr int kFileHeaderSize = 14;

    // Row length in bytes, rounded up to whole 32-bit words.
    [[nodiscard]] static constexpr int StrideFor(int bitsPerRow) noexcept
    {
        if (bitsPerRow <= 0)
            return 0;
        return static_cast<int>(((static_cast<std::int64_t>(bitsPerRow) + 31) >> 5) << 2);
    }

    // Colour-table entries for the depth in an info header: 2, 16, 256 or 0;
    // -1 for an unsupported depth or bytes too short to hold one.
    [[nodiscard]] static int ColourCount(std::span<const std::uint8_t> infoHeaderBytes) noexcept;

    [[nodiscard]] static std::array<std::uint8_t, kFileHeaderSize> FileHeaderBytes(
        const BITMAPFILEHEADER& header) noexcept;
    [[nodiscard]] static std::array<std::uint8_t, kInfoHeaderSize> InfoHeaderBytes(
        const BITMAPINFOHEADER& header) noexcept;

    // The fixed colour tables for 1, 4 and 8 bits per pixel, as RGBQUAD bytes.
    [[nodiscard]] static std::span<const std::uint8_t, 8> Palette2() noexcept;
    [[nodiscard]] static std::span<const std::uint8_t, 64> Palette16() noexcept;
    [[nodiscard]] static std::span<const std::uint8_t, 1024> Palette256() noexcept;

    // A blank image (pixels 0). False, with the image unchanged, for a depth
    // other than 1, 4, 8, 16, 24, 32, a size that is not positive, or one
    // too large for a BMP file.
    [[nodiscard]] bool Create(int width, int height, int bits) noexcept;

    // Copies rect of dc into the image, keeping the buffer when size and
    // depth match. False, with the image unchanged, when anything fails.
    [[nodiscard]] bool CaptureFromDC(HDC dc, const RECT& rect, int bits) noexcept;

    // The packed DIB; empty until Create or CaptureFromDC succeeds.
    [[nodiscard]] const std::vector<std::uint8_t>& Data() const noexcept { return m_data; }

    // Readers of the header. On an empty image they give 0 or null.
    [[nodiscard]] int Width() const noexcept;
    [[nodiscard]] int Height() const noexcept;
    [[nodiscard]] int BitsPerPixel() const noexcept;
    [[nodiscard]] int RowBytes() const noexcept;
    [[nodiscard]] int PixelSize() const noexcept;
    [[nodiscard]] int PaletteSize() const noexcept;

    [[nodiscard]] const std::uint8_t* DataAddress() const noexcept;
    [[nodiscard]] const std::uint8_t* PaletteAddress() const noexcept;
    [[nodiscard]] const std::uint8_t* PixelAddress() const noexcept;

    // File header followed by the packed DIB; empty for an empty image.
    [[nodiscard]] std::vector<std::uint8_t> ToBmpFile() const;

private:
    std::vector<std::uint8_t> m_data;
};

} // namespace dib
