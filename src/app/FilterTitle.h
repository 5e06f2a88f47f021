#pragma once
// The filter typed into the main window, shown over the title in the
// title's font while it is set; its window text is the filter, so screen
// readers find it there. The mouse goes through it to the title beneath,
// which drags the window, reloads on a double-click and takes dropped files.

#include "base/Window.h"

#include <string>

namespace app {

class FilterTitle : public base::Window {
public:
    // rect: in the parent's client coordinates, over the title, at dpi.
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, int dpi);
    // The caller moves the window; this draws it at the new scale.
    void SetDpi(int dpi);
    // Shows the text, or hides the window when it is empty.
    void SetText(const std::wstring& text);
    [[nodiscard]] const std::wstring& Text() const noexcept { return m_text; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring m_text;
    int m_dpi = 96;
};

} // namespace app
