#pragma once
// The controls laid over the main window's background picture: the title
// label with the typed filter over it, the eight picture buttons with their
// pale rounded highlights, and the picture box that hosts the shortcut list.

#include "app/AppState.h"
#include "app/FilterTitle.h"
#include "toolkit/AnimationBox.h"
#include "toolkit/PictureBox.h"
#include "toolkit/TransparentLabel.h"

#include <array>
#include <functional>

namespace app {

// The picture buttons by their form numbers, 动画框1 to 动画框8.
enum class Box {
    Weather = 1,  // 动画框1
    Music = 2,    // 动画框2
    Manage = 3,   // 动画框3
    Minimise = 4, // 动画框4
    Close = 5,    // 动画框5
    Previous = 6, // 动画框6
    Next = 7,     // 动画框7
    Play = 8,     // 动画框8
};
inline constexpr int kBoxCount = 8;

// Highlight levels: 100 is invisible, 50 the hover highlight.
inline constexpr int kHighlightHidden = 100;
inline constexpr int kHighlightShown = 50;
inline constexpr int kHighlightFadeMs = 150;

// Where the box stands in design pixels (96 DPI).
[[nodiscard]] RECT BoxRectOf(Box box) noexcept;
// Where it stands at a scale.
[[nodiscard]] RECT BoxRectOf(Box box, int dpi) noexcept;

// Towards the hover highlight, and back to invisible. Each fade takes about
// kHighlightFadeMs for the whole way and less from part of the way; it runs
// on a timer, so the window stays responsive and a fade can turn round.
void FadeHighlightIn(toolkit::AnimationBox& box, int objectId);
void FadeHighlightOut(toolkit::AnimationBox& box, int objectId);

class MainControls {
public:
    // Makes the label, boxes and picture box as children of main, laid out
    // for dpi.
    [[nodiscard]] bool Create(HWND main, int dpi);

    // Gives each box the look of the window beneath it, one highlight object
    // with a cut-corner picture, invisible at first, and hover fades. Ids go
    // to state.boxObjectIds.
    void SetupButtonBoxes(AppState& state);

    // Moves and sizes every control for a new scale and gives the boxes
    // their texts' sizes, backgrounds and highlights for it; the main
    // window's picture must already be drawn at that scale.
    void SetDpi(const AppState& state, int dpi);

    // What a click on the box does (nothing until set).
    void SetBoxClick(Box box, std::function<void()> action);

    [[nodiscard]] toolkit::AnimationBox& BoxWindow(Box box) { return m_boxes[Index(box)]; }
    [[nodiscard]] toolkit::TransparentLabel& TitleLabel() { return m_titleLabel; }
    [[nodiscard]] FilterTitle& Filter() { return m_filterTitle; }
    [[nodiscard]] toolkit::PictureBox& ListHost() { return m_listHost; }

private:
    [[nodiscard]] static size_t Index(Box box) noexcept { return static_cast<size_t>(box) - 1; }
    // Each box's background taken from the main window, and its highlight
    // drawn at its size.
    void RefreshBoxPictures(const AppState& state);

    toolkit::TransparentLabel m_titleLabel;
    FilterTitle m_filterTitle;
    std::array<toolkit::AnimationBox, kBoxCount> m_boxes;
    std::array<std::function<void()>, kBoxCount> m_clicks;
    toolkit::PictureBox m_listHost;
    int m_dpi = base::kDesignDpi;
};

} // namespace app
