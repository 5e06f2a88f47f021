#pragma once
// The picture an item shows until it has one of its own at 96 DPI: a 40 x 40,
// 24-bit BMP file compiled into the program (res/default-item.bmp). Other
// sizes are drawn afresh (MakeDefaultItemPicture in AppState.h).

#include <cstddef>
#include <cstdint>
#include <span>

namespace app {

extern const unsigned char kDefaultItemPictureBytes[];
extern const std::size_t kDefaultItemPictureSize;

[[nodiscard]] inline std::span<const std::uint8_t> DefaultItemPicture() noexcept
{
    return {reinterpret_cast<const std::uint8_t*>(kDefaultItemPictureBytes), kDefaultItemPictureSize};
}

} // namespace app
