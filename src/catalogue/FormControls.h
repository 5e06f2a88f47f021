#pragma once
// What the management panel and the drop window share as windows: their
// fonts, controls at places designed in 96-DPI pixels and scaled to the
// window's DPI, the default button that follows the focus as in a dialog,
// and the window itself, laid out again when its DPI changes.

#include "base/Dpi.h"
#include "base/Handles.h"
#include "base/Window.h"

#include <windows.h>

#include <span>
#include <string>

namespace catalogue {

// 微软雅黑 in GB2312: bold 14 px for labels, buttons and tabs, regular 14 px
// for what the user types, bold 16 px for the radio buttons; pixels of a
// 96-DPI screen.
struct FormFonts {
    base::UniqueFont bold;
    base::UniqueFont regular;
    base::UniqueFont radio;

    [[nodiscard]] static FormFonts Make(int dpi);
};

enum class ControlKind { Label, Edit, Button, DefaultButton, Radio, Line, Combo, Status };

struct ControlPlace {
    ControlKind kind;
    int id;
    const wchar_t* text;
    int x, y, width, height; // at 96 DPI
};

// Creates the controls in order (which is their tab order), with their
// texts and ids; PlaceControls gives them places and fonts. False when any
// could not be made. Push buttons are drawn as the default exactly when
// the parent's DM_GETDEFID names them, whoever sets their style.
[[nodiscard]] bool MakeControls(HWND parent, std::span<const ControlPlace> controls);

// Moves each control to its place offset by `origin` (both at 96 DPI),
// scaled to dpi, and gives it its font from `fonts`.
void PlaceControls(HWND parent, std::span<const ControlPlace> controls, POINT origin, const FormFonts& fonts,
                   int dpi);

[[nodiscard]] std::wstring TextOf(HWND window);

[[nodiscard]] bool IsPushButton(HWND window) noexcept;

// Answers WM_CTLCOLORSTATIC for a status line: dark red on the window face.
[[nodiscard]] LRESULT StatusColours(HDC dc) noexcept;

// A form's window: a captioned popup with a close box only, centred over
// its owner, whose size, control places and fonts are designed for 96 DPI
// and laid out again at whatever DPI it is shown at.
class FormWindow : public base::Window {
protected:
    FormWindow() = default;

    [[nodiscard]] int Dpi() const noexcept { return m_dpi; }

    // Creates the window hidden, at its owner's DPI or, should the window
    // come up on a monitor of another scale, at its own. `designSize` is
    // the whole window at 96 DPI; its client area is what scales.
    [[nodiscard]] bool CreateForm(const wchar_t* className, const wchar_t* title, HWND owner, SIZE designSize);

    // Places every control at Dpi() with fonts made for it, then lets the
    // old fonts go.
    void LayOut();
    // The derived form's half of LayOut: every control placed, every font
    // from `fonts`.
    virtual void PlaceContent(const FormFonts& fonts) = 0;

    // For WM_DPICHANGED: the suggested rectangle taken, then laid out again.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // The push button Enter presses with the keyboard focus where it is
    // now: the one drawn as the default, and the dialog manager's answer.
    [[nodiscard]] virtual HWND DefaultButton() const noexcept = 0;
    // For DM_GETDEFID.
    [[nodiscard]] LRESULT DefaultButtonId() const noexcept;
    // For every WM_COMMAND from a control: when the focus came or went, the
    // default look moves with it.
    void FollowFocus(HWND control, int notification) const noexcept;
    // For IDOK, which comes when the dialog manager found no default.
    void PressDefaultButton() const noexcept;

private:
    int m_dpi = base::kDesignDpi;
    FormFonts m_fonts;
};

} // namespace catalogue
