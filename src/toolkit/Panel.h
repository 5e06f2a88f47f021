#pragma once
// The base of the program's panels: a captioned popup over its owner that
// behaves as a dialog does.
//
// How a panel is made:
// - Its table: ControlPlace rows (kind, id, text, place at 96 DPI) in tab
//   order, in sections, ids clear of IDOK and IDCANCEL; with the window's
//   title and size, its PanelDesign. CreatePanel makes it all, hidden.
// - Its commands: OnClicked(id) for a button's click (and Enter on the
//   default one), OnNotified(id, code) for anything else a control reports.
//   What more a message needs, an OnMessage override handles before
//   handing the rest to Panel::OnMessage.
// The base gives it: its window at its owner's DPI, laid out again on
// WM_DPICHANGED; the fonts; Tab, Enter and Escape as in a dialog, the
// default button following the focus; a Status row's colours; tab pages;
// the focus kept across activation; closing, and RunModal with its owner
// disabled meanwhile.

#include "base/Dpi.h"
#include "base/FocusMemory.h"
#include "base/Window.h"
#include "toolkit/PanelControls.h"

#include <windows.h>

#include <functional>
#include <span>

namespace toolkit {

struct PanelDesign {
    const wchar_t* className;
    const wchar_t* title;
    SIZE size; // the whole window at 96 DPI; its client area is what scales
    std::span<const ControlSection> sections;
    FontScheme fonts = kPanelFonts;
    int firstFocus = 0; // the control that has the keyboard first; 0: the first tab stop
    bool topmost = false;
};

class Panel : public base::Window {
public:
    ~Panel() override;

    // Enables an owner RunModal disabled, then destroys the panel.
    void Close();
    // Shows the sections of a page of the tab control and hides the others'.
    void ShowPage(int page);

protected:
    Panel() = default;

    [[nodiscard]] int Dpi() const noexcept { return m_dpi; }
    [[nodiscard]] HWND Item(int id) const noexcept { return Handle() ? ::GetDlgItem(Handle(), id) : nullptr; }
    // The table's row for a control of the panel; null for any other window.
    [[nodiscard]] const ControlPlace* RowOf(HWND control) const noexcept;

    // Creates the window hidden, centred over owner at its DPI (or at its own
    // should it come up on a monitor of another scale), with every control
    // of the design laid out and the first page shown. False, with no
    // window left, when any part could not be made. The design's sections
    // must outlive the window.
    [[nodiscard]] bool CreatePanel(HWND owner, const PanelDesign& design);
    // Disables owner, creates the panel with `create` and runs messages until
    // it is closed. A WM_QUIT met meanwhile is posted again for the caller's loop.
    void RunModal(HWND owner, const std::function<bool()>& create);

    // Places every control at Dpi() with fonts made for it, then lets the
    // old fonts go.
    void LayOut();
    // After every layout: for what depends on the new fonts or places.
    virtual void OnLaidOut() {}

    virtual void OnClicked(int /*id*/) {}
    virtual void OnNotified(int /*id*/, int /*code*/) {}
    // Enter with no default button, should the dialog manager not ask for one.
    virtual void OnEnter() { PressDefaultButton(); }
    // The push button Enter presses with the keyboard focus where it is now:
    // the one drawn as the default, and DM_GETDEFID's answer. By default the
    // focused push button, else the table's default button.
    [[nodiscard]] virtual HWND DefaultButton() const noexcept;
    void PressDefaultButton() const noexcept;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

private:
    void OnCommand(int id, int code, HWND control);
    // For every focus notification: each push button takes the look its
    // DM_GETDEFID answer gives it.
    void FollowFocus() const noexcept;
    void ReleaseOwner() noexcept;
    [[nodiscard]] HWND FirstOfKind(ControlKind kind) const noexcept;

    PanelDesign m_design{};
    int m_dpi = base::kDesignDpi;
    PanelFonts m_fonts;
    base::FocusMemory m_focus;
    HWND m_disabledOwner = nullptr; // not owned: enabled again on close
};

} // namespace toolkit
