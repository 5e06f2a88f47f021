#include "toolkit/ParentBackground.h"

namespace toolkit {

void PaintParentBehind(HWND child, HDC dc, int width, int height)
{
    const RECT area{0, 0, width, height};
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT origin{0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    // The parent's handler may select objects or move the origin itself;
    // the saved state undoes whatever it leaves behind.
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    ::IntersectClipRect(dc, origin.x, origin.y, origin.x + width, origin.y + height);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    if (saved)
        ::RestoreDC(dc, saved);
}

} // namespace toolkit
