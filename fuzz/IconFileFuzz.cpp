// Any bytes as an icon file: the directory reader must never crash or read
// outside the bytes, and whatever image it names must lie within them.
// Built natively (the reader includes no Windows header).

#include "image/IconDirectory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

constexpr std::size_t kSmallestImage = 12;
constexpr int kMostEntries = 0xFFFF;

bool Within(std::span<const unsigned char> part, std::span<const unsigned char> whole)
{
    return part.data() >= whole.data() && part.size() <= whole.size() &&
           static_cast<std::size_t>(part.data() - whole.data()) <= whole.size() - part.size();
}

// Reads every byte, so the sanitizer sees any that lie outside the input.
unsigned Touch(std::span<const unsigned char> bytes)
{
    unsigned sum = 0;
    for (const unsigned char b : bytes)
        sum += b;
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const unsigned char> bytes(data, size);
    // The sizes the program asks for, and the ones stored as 0.
    for (const int pixels : {16, 20, 24, 32, 256}) {
        const int found = image::IconEntryOfSize(bytes, pixels);
        if (found < 0 || found > kMostEntries)
            std::abort();
        if (found > 0 && !image::IconEntryAt(bytes, found))
            std::abort();
    }
    volatile unsigned sink = 0;
    for (const int index : {-1, 0, 1, 2, 3, static_cast<int>(size / 16), kMostEntries, 0x7FFFFFFF}) {
        const auto entry = image::IconEntryAt(bytes, index);
        if (!entry)
            continue;
        if (index < 0 || entry->width < 0 || entry->width > 255 || entry->height < 0 || entry->height > 255)
            std::abort();
        if (!entry->image.empty() && (entry->image.size() < kSmallestImage || !Within(entry->image, bytes)))
            std::abort();
        sink = sink + Touch(entry->image);
    }
    return 0;
}
