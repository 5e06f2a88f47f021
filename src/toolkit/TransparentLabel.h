#pragma once
// A label that draws nothing of its own: its window shows the parent's
// picture beneath it (asked for with WM_PRINTCLIENT) and reports presses and
// double-clicks of the left button.

#include "base/Window.h"

#include <functional>

namespace toolkit {

struct LabelEvents {
    std::function<void()> leftButtonDown;
    std::function<void()> doubleClick;
};

class TransparentLabel : public base::Window {
public:
    [[nodiscard]] bool Create(HWND parent, const RECT& rect);
    void SetEvents(LabelEvents events) { m_events = std::move(events); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LabelEvents m_events;
};

} // namespace toolkit
