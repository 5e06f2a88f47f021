#pragma once
// A plain child window that hosts other windows over a solid background.

#include "base/Window.h"

namespace toolkit {

class PictureBox : public base::Window {
public:
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, COLORREF background);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF m_background = RGB(255, 255, 255);
};

} // namespace toolkit
