#pragma once
// The borderless 275 x 555 main window: its shape, background picture,
// controls and shortcut list, its scale, its place on screen and docking at
// the top edge. What its boxes and list do is the program's (Program.h).

#include "app/AppState.h"
#include "app/MainControls.h"
#include "base/Handles.h"
#include "base/Window.h"

#include <string>

namespace app {

inline constexpr wchar_t kMainWindowClass[] = L"QuilleryMainWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Quillery";

// Where a window of the given rectangle must go to stay on the given
// screen: no edge above or left of it, none right of it. The bottom is not
// held here; dragging holds it.
[[nodiscard]] POINT ClampedPosition(const RECT& window, const RECT& screen) noexcept;

class MainWindow : public base::Window {
public:
    // What the window tells the program it is part of.
    class Events {
    public:
        // The window, its controls and the empty shortcut list exist, laid
        // out at the window's scale; the window is not shown yet.
        virtual void OnWindowCreated() = 0;
        // Offered every message first; true when a part of the program took it.
        [[nodiscard]] virtual bool OnPartMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
        // Drawn again at a new scale: the window, its controls and the
        // list's rows already are.
        virtual void OnWindowScaled(int dpi) = 0;
        // Closing, or Windows ending the session: what must outlive the
        // process is kept now.
        virtual void OnWindowClosing() = 0;
        // Going: nothing more will come.
        virtual void OnWindowDestroyed() = 0;

    protected:
        ~Events() = default;
    };

    // The list control lives in state; events must outlive the window.
    MainWindow(AppState& state, Events& events) : m_state(state), m_events(events) {}

    [[nodiscard]] bool Create();
    // Closes as the close box does: the program keeps what it must, then
    // the window goes.
    void Close();

    [[nodiscard]] MainControls& Controls() { return m_controls; }
    [[nodiscard]] int Dpi() const noexcept { return m_dpi; }

    // The system's own move loop drags the window, as a caption would.
    void MoveByTitle();
    // A saved top-left corner, brought whole onto the screen it is nearest to.
    void MoveToSavedPosition(POINT saved);
    // Where the window was last seen not minimised: where it comes back.
    [[nodiscard]] POINT RestoredTopLeft() const;
    // Whether typing can reach the list: the window is shown whole, not
    // hidden, minimised or docked.
    [[nodiscard]] bool CanType() const;

    // A word over the title for a few seconds, as the title's window text too.
    void ShowTitleNotice(const std::wstring& text);
    // A box's highlight faded out, or hidden at once (the pointer will not
    // be on the box when the window is seen again).
    void FadeHighlight(Box box);
    void HideHighlight(Box box);

    // Copies the background picture's `area` (client coordinates) to dc.
    void Paint(HDC dc, const RECT& area) const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    // The window's size at its scale.
    [[nodiscard]] int Width() const noexcept;
    [[nodiscard]] int Height() const noexcept;
    // The background picture, title icon and shape at the window's scale.
    void DrawForDpi(bool redraw);
    // Moved to a monitor of another scale: everything laid out and drawn again.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void CreateShortcutList();
    // The list's rows and default pictures at the window's scale.
    void ScaleShortcutList();
    void EndTitleNotice();
    // The id of the highlight object in the box.
    [[nodiscard]] int HighlightOf(Box box) const { return m_state.boxObjectIds[static_cast<size_t>(box) - 1]; }
    // Holds a move on the screen it lands on, unless the program itself is
    // sliding the window off the top edge or it is being minimised.
    void ClampToScreen(WINDOWPOS& pos) const;

    AppState& m_state;
    Events& m_events;
    POINT m_restoredTopLeft{}; // where the window was last seen not minimised
    base::UniqueBitmap m_background;
    HICON m_smallIcon = nullptr; // shared resource icon: not owned
    base::UniqueIcon m_titleIcon; // drawn in the title, at the window's scale
    int m_dpi = 96;
    MainControls m_controls;
    bool m_inMoveLoop = false; // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
};

} // namespace app
