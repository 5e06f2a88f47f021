#pragma once
// A label that draws nothing of its own: its window shows the parent's
// picture beneath it (asked for with WM_PRINTCLIENT) and reports presses and
// double-clicks of the left button, and files dropped on it.

#include "base/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace toolkit {

struct LabelEvents {
    std::function<void()> leftButtonDown = {};
    std::function<void()> doubleClick = {};
    // Files dropped from the shell, full paths in the order given; only
    // while dropped files are accepted.
    std::function<void(std::vector<std::wstring> paths)> filesDropped = {};
};

class TransparentLabel : public base::Window {
public:
    [[nodiscard]] bool Create(HWND parent, const RECT& rect);
    void SetEvents(LabelEvents events) { m_events = std::move(events); }
    // Makes the label a target for files dragged from the shell, or not.
    void AcceptDroppedFiles(bool accept);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LabelEvents m_events;
};

} // namespace toolkit
