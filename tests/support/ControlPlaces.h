#pragma once
// Where a window's controls stand and in which fonts, for tests that move a
// window to another display scale and back.

#include "base/Dpi.h"

#include <windows.h>

#include <array>
#include <vector>

namespace testing_support {

// A control's rectangle in its parent's client area, its font's height and weight.
using Place = std::array<LONG, 6>;

[[nodiscard]] inline std::vector<Place> PlacesIn(HWND window)
{
    std::vector<Place> places;
    for (HWND control = ::GetWindow(window, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        RECT at{};
        ::GetWindowRect(control, &at);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&at), 2);
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        places.push_back({at.left, at.top, at.right, at.bottom, font.lfHeight, font.lfWeight});
    }
    return places;
}

// Places laid out at 96 DPI as they stand at dpi.
[[nodiscard]] inline std::vector<Place> ScaledPlaces(std::vector<Place> places, int dpi)
{
    for (Place& place : places) {
        const RECT at = base::ScaledRect({place[0], place[1], place[2], place[3]}, dpi);
        place = {at.left, at.top, at.right, at.bottom, base::Scaled(place[4], dpi), place[5]};
    }
    return places;
}

// What Windows sends a window moved onto a monitor of another scale: the
// new DPI, and room for the client area it had at 96 DPI scaled to it,
// inside the frame the window draws.
inline void ChangeDpi(HWND window, int dpi, SIZE client96)
{
    RECT outer{}, client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    RECT suggested{outer.left, outer.top, outer.right - client.right + base::Scaled(client96.cx, dpi),
                   outer.bottom - client.bottom + base::Scaled(client96.cy, dpi)};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

} // namespace testing_support
