#pragma once
// Conversions between image file bytes and GDI handles: loading a picture
// held in memory, making a grey twin of a bitmap, and writing a bitmap out as
// a BMP file.

#include "base/Handles.h"

#include <cstdint>
#include <span>
#include <vector>

namespace image {

// Owns what the OLE picture loader produced: a bitmap or an icon (or nothing).
struct Picture {
    base::UniqueBitmap bitmap;
    base::UniqueIcon icon;
    explicit operator bool() const noexcept { return bitmap || icon; }
};

// Loads a complete image file (BMP, GIF, JPEG, ICO and whatever else the OLE
// picture loader reads). Metafiles and unreadable data give an empty Picture.
// size, when given, receives the picture's size in display pixels ({0,0} when
// nothing loaded). Works whether or not the calling thread initialised COM.
[[nodiscard]] Picture PictureFromBytes(std::span<const std::uint8_t> bytes, SIZE* size = nullptr);

// A new screen-compatible bitmap of the same size in grey levels
// (0.3 R + 0.59 G + 0.11 B, truncated). The source must not be selected into a
// device context; it is left unchanged. Empty for a handle that is not a bitmap.
[[nodiscard]] base::UniqueBitmap GreyCopy(HBITMAP source);

// The bytes of a BMP file showing the bitmap: a 14-byte file header, a 44-byte
// information block (size field 44) and bottom-up rows from offset 58. Bitmaps
// of 8 bits per pixel or fewer are written at 24 bits, as the layout has no
// room for a colour table. Empty for a handle that is not a bitmap.
[[nodiscard]] std::vector<std::uint8_t> BitmapToBmpBytes(HBITMAP bitmap);

// A picture file in memory as a bitmap of its own size (icons are drawn onto
// white); empty when it cannot be decoded. size receives its size.
[[nodiscard]] base::UniqueBitmap BitmapFromBytes(std::span<const std::uint8_t> bytes, SIZE& size);

} // namespace image
