#pragma once
// A panel's controls as a table: each row a kind, an id, a text and a place
// designed in 96-DPI pixels; the fonts each kind takes; and the few things
// said about a control wherever a panel needs them.

#include "base/Handles.h"

#include <windows.h>

#include <span>
#include <string>

namespace toolkit {

enum class ControlKind {
    Label,
    Status,        // a line that says why something was not done
    Line,          // an etched separator
    Edit,
    Combo,         // typed into or dropped down
    List,          // a list box of text rows
    Button,
    DefaultButton, // the one Enter presses when the focus is on no button
    Radio,         // not automatic: its panel decides what a click does
    Tab,           // its text names the pages, separated by "|"
};

struct ControlPlace {
    ControlKind kind;
    int id;
    const wchar_t* text;
    int x, y, width, height; // at 96 DPI, from the section's origin
};

// Rows placed from one origin (96 DPI), such as a tab page's controls from
// the tab control's corner. A section on a page is shown only with it.
inline constexpr int kEveryPage = -1;
struct ControlSection {
    std::span<const ControlPlace> controls;
    POINT origin{0, 0};
    int page = kEveryPage;
};

// 微软雅黑 in GB2312 at a height in 96-DPI pixels.
struct FontStyle {
    int pixels;
    int weight;

    bool operator==(const FontStyle&) const = default;
};

struct FontScheme {
    FontStyle captions; // labels, buttons, tabs
    FontStyle entries;  // what is typed or picked: edits, combo and list boxes, the status line
    FontStyle radios;
};

// The panels' own: captions bold, typed text regular, radio buttons larger.
inline constexpr FontScheme kPanelFonts{{14, FW_BOLD}, {14, FW_NORMAL}, {16, FW_BOLD}};

// The fonts of a scheme at one DPI; kinds of equal style share one.
class PanelFonts {
public:
    [[nodiscard]] static PanelFonts Make(const FontScheme& scheme, int dpi);
    // Null for a separator line, which shows no text.
    [[nodiscard]] HFONT For(ControlKind kind) const noexcept;

private:
    base::UniqueFont m_owned[3];
    HFONT m_captions = nullptr; // these three: in m_owned
    HFONT m_entries = nullptr;
    HFONT m_radios = nullptr;
};

// Creates the rows in order (which is their tab order), with their texts and
// ids, unplaced. False when any could not be made. Push buttons are drawn as
// the default exactly when the parent's DM_GETDEFID names them, whoever sets
// their style.
[[nodiscard]] bool MakeControls(HWND parent, std::span<const ControlPlace> controls);

// Moves each control of the section to its place, scaled to dpi, and gives
// it its font.
void PlaceControls(HWND parent, const ControlSection& section, const PanelFonts& fonts, int dpi);

// Selects a tab control's page and names the control after it, for whoever
// reads window texts. False when there is no such page.
bool ShowTabPage(HWND tab, int page);

[[nodiscard]] std::wstring TextOf(HWND window);

[[nodiscard]] bool IsPushButton(HWND window) noexcept;

// Whether a WM_COMMAND code from control says it took or lost the focus.
[[nodiscard]] bool IsFocusNotification(HWND control, int code) noexcept;

// Answers WM_CTLCOLORSTATIC for a status line: dark red on the window face.
[[nodiscard]] LRESULT StatusColours(HDC dc) noexcept;

} // namespace toolkit
