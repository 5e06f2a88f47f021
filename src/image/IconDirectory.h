#pragma once
// Reading the directory of an icon file (.ico) from its bytes: where each
// image lies and what size it is made for. Only bytes and bounds, no Windows
// header, so it also builds natively and is fuzzed; the images themselves
// are decoded by the system.

#include <cstddef>
#include <optional>
#include <span>

namespace image {

struct IconEntry {
    // As stored: 0 .. 255, where 0 stands for 256.
    int width = 0;
    int height = 0;
    // The image's bytes, cut to the bytes present; empty when it has none
    // (size 0, an offset past the end, or too short to be any image).
    std::span<const unsigned char> image;
};

// Directory entry `index`, or nothing when the entry itself lies outside
// the bytes. The image count in the header is not consulted: the entry is
// read wherever it lies.
[[nodiscard]] std::optional<IconEntry> IconEntryAt(std::span<const unsigned char> bytes, int index) noexcept;

// The first of the header's entries drawn at `pixels` square; 0 when none
// is (or the directory is cut short before one is).
[[nodiscard]] int IconEntryOfSize(std::span<const unsigned char> bytes, int pixels) noexcept;

} // namespace image
