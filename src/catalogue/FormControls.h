#pragma once
// What the management panel and the drop window share as windows: their
// fonts, controls made at exact pixel places, the default button that
// follows the focus as in a dialog, and the focus kept across activation.

#include "base/Handles.h"

#include <windows.h>

#include <span>
#include <string>

namespace catalogue {

// 微软雅黑 in GB2312: bold 14 px for labels, buttons and tabs, regular 14 px
// for what the user types, bold 16 px for the radio buttons.
struct FormFonts {
    base::UniqueFont bold;
    base::UniqueFont regular;
    base::UniqueFont radio;

    [[nodiscard]] static FormFonts Make();
};

enum class ControlKind { Label, Edit, Button, DefaultButton, Radio, Line, Combo, Status };

struct ControlPlace {
    ControlKind kind;
    int id;
    const wchar_t* text;
    int x, y, width, height;
};

// Creates the controls in order (which is their tab order), offset by
// `origin`. False when any could not be made.
[[nodiscard]] bool MakeControls(HWND parent, std::span<const ControlPlace> controls, POINT origin,
                                const FormFonts& fonts);


[[nodiscard]] std::wstring TextOf(HWND window);

// As a dialog does: a push button is the default while it has the focus,
// `fallback` otherwise. For the BN_SETFOCUS and BN_KILLFOCUS of a button.
void FollowFocusForDefault(HWND button, int notification, HWND fallback) noexcept;

// Answers WM_CTLCOLORSTATIC for a status line: dark red on the window face.
[[nodiscard]] LRESULT StatusColours(HDC dc) noexcept;


} // namespace catalogue
