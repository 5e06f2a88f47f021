#pragma once
// The borderless 275 x 555 main window: its shape, background picture,
// saved position, and keeping itself on screen.

#include "app/AppState.h"
#include "app/Configuration.h"
#include "base/Handles.h"
#include "base/Window.h"

namespace app {

inline constexpr wchar_t kMainWindowClass[] = L"QuilleryMainWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Quillery";

// Where a window of the given rectangle must go to stay on a screen of the
// given width: no edge above or left of the screen, none right of it. The
// bottom is not held, the screen's height being no concern here.
[[nodiscard]] POINT ClampedPosition(const RECT& window, int screenWidth) noexcept;

class MainWindow : public base::Window {
public:
    explicit MainWindow(AppState& state) : m_state(state) {}

    [[nodiscard]] bool Create();

    void SaveConfiguration();
    void ClampToScreen();

    // The background picture, as painted on screen.
    void Paint(HDC dc) const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    void OnClose();
    [[nodiscard]] POINT NormalTopLeft() const;

    AppState& m_state;
    IniFile m_config{L""};
    base::UniqueBitmap m_background;
    HICON m_icon = nullptr;      // shared resource icon: not owned
    HICON m_smallIcon = nullptr; // shared resource icon: not owned
};

} // namespace app
