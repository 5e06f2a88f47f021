#include "grouplist/ExpandArrows.h"

#include "image/PictureHelpers.h"

namespace grouplist {

HBITMAP ExpandArrowsBitmap()
{
    static const base::UniqueBitmap arrows = [] {
        image::Picture picture = image::PictureFromBytes(
            {reinterpret_cast<const std::uint8_t*>(kExpandArrowsPictureBytes), kExpandArrowsPictureSize});
        return std::move(picture.bitmap);
    }();
    return arrows.get();
}

} // namespace grouplist
