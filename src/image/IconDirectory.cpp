#include "image/IconDirectory.h"

#include <algorithm>
#include <cstdint>

namespace image {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
// The smallest bitmap header (BITMAPCOREHEADER); nothing shorter is an image.
constexpr std::size_t kSmallestImage = 12;

[[nodiscard]] std::uint16_t ReadWord(const unsigned char* at) noexcept
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

[[nodiscard]] std::uint32_t ReadDword(const unsigned char* at) noexcept
{
    return static_cast<std::uint32_t>(ReadWord(at)) | (static_cast<std::uint32_t>(ReadWord(at + 2)) << 16);
}

} // namespace

std::optional<IconEntry> IconEntryAt(std::span<const unsigned char> bytes, int index) noexcept
{
    if (index < 0)
        return std::nullopt;
    // 64-bit arithmetic: no index or stored offset can wrap it, in a 32-bit build either.
    const std::uint64_t at = kHeaderSize + kEntrySize * static_cast<std::uint64_t>(index);
    if (at + kEntrySize > bytes.size())
        return std::nullopt;
    const unsigned char* fields = bytes.data() + at;
    IconEntry entry;
    entry.width = fields[0];
    entry.height = fields[1];
    const std::uint64_t size = ReadDword(fields + 8);
    const std::uint64_t offset = ReadDword(fields + 12);
    if (size == 0 || offset >= bytes.size())
        return entry;
    const std::uint64_t length = std::min<std::uint64_t>(size, bytes.size() - offset);
    if (length >= kSmallestImage)
        entry.image = bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    return entry;
}

int IconEntryOfSize(std::span<const unsigned char> bytes, int pixels) noexcept
{
    if (bytes.size() < kHeaderSize)
        return 0;
    const std::size_t count = ReadWord(bytes.data() + 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + kEntrySize * i;
        if (at + kEntrySize > bytes.size())
            break;
        // Stored as a byte: 0 stands for 256.
        const int width = bytes[at] ? bytes[at] : 256;
        const int height = bytes[at + 1] ? bytes[at + 1] : 256;
        if (width == pixels && height == pixels)
            return static_cast<int>(i);
    }
    return 0;
}

} // namespace image
