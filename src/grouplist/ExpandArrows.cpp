#include "grouplist/ExpandArrows.h"

#include "grouplist/PaintContext.h"

namespace grouplist {

void DrawExpandArrow(HDC dc, int x, int y, int size, bool expanded)
{
    // Filled span by span: each step towards the tip is one pixel shorter at
    // both ends, so the edges are clean 45-degree steps at every size, which
    // a polygon fill does not promise.
    const int depth = (size - 1) / 2;
    const int base = 2 * depth - 1;
    if (depth <= 0)
        return;
    const int along = (size - depth) / 2;
    const int across = (size - base) / 2;
    for (int i = 0; i < depth; ++i) {
        const int from = across + i;
        const int to = across + base - i;
        const RECT span = expanded ? RECT{x + from, y + along + i, x + to, y + along + i + 1}
                                   : RECT{x + along + i, y + from, x + along + i + 1, y + to};
        FillSolid(dc, span, kArrowColour);
    }
}

} // namespace grouplist
