// Any bytes as IconCache.dat: the reader must never crash or read outside
// the bytes, and whatever it accepts must write back to a file it reads the
// same. Built natively (the format includes no Windows header).

#include "catalogue/IconCacheFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool Same(const catalogue::IconCacheContents& a, const catalogue::IconCacheContents& b)
{
    if (a.pictures.size() != b.pictures.size() || a.shortcuts.size() != b.shortcuts.size())
        return false;
    for (std::size_t i = 0; i < a.pictures.size(); ++i) {
        const catalogue::CachedPicture& x = a.pictures[i];
        const catalogue::CachedPicture& y = b.pictures[i];
        if (x.path != y.path || x.pixelSize != y.pixelSize || !(x.stamp == y.stamp) || x.missing != y.missing ||
            !x.picture || !y.picture || *x.picture != *y.picture)
            return false;
    }
    for (std::size_t i = 0; i < a.shortcuts.size(); ++i) {
        const catalogue::CachedShortcut& x = a.shortcuts[i];
        const catalogue::CachedShortcut& y = b.shortcuts[i];
        if (x.file != y.file || !(x.identity == y.identity) || x.program != y.program)
            return false;
    }
    return true;
}

void Check(std::string_view bytes)
{
    const auto records = catalogue::DecodeIconCache(bytes);
    if (!records)
        return;
    const std::string written = catalogue::EncodeIconCache(*records);
    const auto again = catalogue::DecodeIconCache(written);
    if (!again || !Same(*records, *again) || catalogue::EncodeIconCache(*again) != written)
        std::abort();
    // Any flipped byte is caught by the checksum.
    std::string damaged = written;
    damaged[bytes.size() % damaged.size()] ^= 0x40;
    if (catalogue::DecodeIconCache(damaged))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    // Mutations rarely keep the checksum right: with it put right, the
    // records behind it are read too.
    if (bytes.size() >= 4) {
        const std::uint32_t crc = catalogue::Crc32(std::string_view(bytes).substr(0, bytes.size() - 4));
        for (int i = 0; i < 4; ++i)
            bytes[bytes.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
        Check(bytes);
    }
    return 0;
}
