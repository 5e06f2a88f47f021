#pragma once
// The per-control state of a grouped list, and the process-wide table that
// finds it by list window.

#include "base/Dpi.h"
#include "base/Handles.h"
#include "grouplist/ItemDocument.h"
#include "grouplist/ItemIndex.h"
#include "grouplist/ItemRecord.h"
#include "grouplist/PaintContext.h"

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace grouplist {

// "No colour" for the optional highlight colours (CLR_NONE of the common controls).
inline constexpr COLORREF kNoColour = 0xFFFFFFFF;

// Sizes in design pixels (a 96-DPI screen's); drawn scaled to the control's DPI.
inline constexpr int kGroupRowHeight = 24;
inline constexpr int kLargeRowHeight = 54;
inline constexpr int kMediumRowHeight = 30;
inline constexpr int kSmallRowHeight = 20;
inline constexpr int kServiceIconSize = 16;
// The default avatars' size, and an entry's when it has no picture of its own.
inline constexpr int kDefaultAvatarSize = 40;

// Pen and brush colours of one row kind in its three states.
struct RowColours {
    int shape = 0; // 1: square rows; anything else: rounded
    COLORREF normalPen = 0;
    COLORREF normalBrush = 0;
    COLORREF hoverPen = 0;
    COLORREF hoverBrush = 0;
    COLORREF selectedPen = 0;
    COLORREF selectedBrush = 0;
};

struct ListEventHandlers {
    ListEventHandler entryClick;
    ListEventHandler entryDoubleClick;
    ListEventHandler entryRightClick;
    ListEventHandler rowEnter;
    ListEventHandler rowLeave;
    ListEventHandler groupClick;
    ListEventHandler groupDoubleClick;
    ListEventHandler groupRightClick;
    ListEventHandler serviceIconClick;
    ListEventHandler blankRightClick;
};

// An entry's online blink: steps 0 and 2 show it online, 1 and 3 offline.
struct OnlineBlink {
    int handle = 0;
    int step = 0;
    DWORD due = 0; // tick count at which the next step starts
    DWORD delay = 0;
};

// What the filter shows, and what it gives back when it ends.
struct FilterState {
    std::wstring text;   // as set; empty: no filter
    std::wstring folded; // as names are compared
    std::unordered_map<int, bool> expandedBefore; // by group handle
    int topItemBefore = 0;   // the item of the top row when the filter began
    bool followFirstMatch = false; // the selection stays on the best match until the user moves it
};

// An in-place rename: an edit over one item's row.
struct RenameState {
    HWND edit = nullptr; // not owned: a child of the list, gone with it
    int item = 0;
    RenameHandler onCommit;
    bool committing = false; // the handler runs: the edit stays until it returns
    bool closeOwed = false;  // closed meanwhile: it goes once the handler returns
};

// The tooltip that shows an entry's program path. It has one tool, the
// rectangle of the hover row while that row is an entry with a path.
struct TooltipState {
    // Owned by the list's top-level window (so it goes with it, first);
    // destroyed with the list when the list goes alone.
    HWND window = nullptr;
    int item = 0;      // the entry the tool stands for; 0: none
    RECT rect{};       // its row when set
    int quietItem = 0; // a click on this entry's row hid its path until the pointer leaves the row
    bool suspended = false;
};

struct ListInstance {
    HWND list = nullptr; // not owned: the list box, the key of the record
    HWND host = nullptr; // not owned
    ItemDocument document;
    ItemIndex index;
    FilterState filter;
    WNDPROC previousListProc = nullptr;
    bool flashTimerRunning = false;
    std::vector<int> flashingEntries; // handles, in the order their flashing started; each once
    std::vector<OnlineBlink> blinks;
    int elementCounter = 0;

    // Rows as the list box numbers them now. The hover and selected rows also
    // remember their items, so they can follow them when rows above change.
    int hoverRow = -1;
    int selectedRow = -1;
    int hoverItem = 0;
    int selectedItem = 0;
    int hoveredServiceIcon = 0; // position in the hover row's icon layout, 1-based

    int dpi = base::kDesignDpi;
    int entryRowHeight = kLargeRowHeight; // design pixels
    int displayMode = 0; // 0 large, 1 medium, 2 small
    bool enlargeSelected = false;

    int serviceIconCount = 0;
    // The icons as added, kept so the strip can be drawn afresh for a new scale.
    std::vector<base::UniqueBitmap> serviceIconPictures;
    std::vector<SIZE> serviceIconSizes;
    base::UniqueBitmap serviceIconStrip; // square cells of Px(kServiceIconSize), icon n in cell n - 1
    std::vector<COLORREF> serviceIconKeys; // by icon number - 1

    RowColours group;
    RowColours entry;
    COLORREF avatarFrame = 0;
    COLORREF signatureColour = 0;
    COLORREF iconHighlightFill = kNoColour;
    COLORREF iconHighlightFrame = kNoColour;
    COLORREF background = RGB(255, 255, 255);
    base::UniqueBrush backgroundBrush; // handed out for WM_CTLCOLORLISTBOX
    base::UniqueFont listFont;
    PaintContext paint; // after the font: it holds the font selected

    ListEventHandlers handlers;
    ListKeyHandler keyHandler;
    RenameState rename;
    TooltipState tooltip;

    int redrawPauses = 0;     // nesting depth of PauseRedraw (RowBatch, BeginUpdate)
    int updatesOpen = 0;      // BeginUpdate calls not yet ended, so a stray EndUpdate cannot end a RowBatch's pause
    int rowsAtPause = 0;      // the row count when the outermost pause began
    bool redrawOwed = false;  // a pause inside changed rows

    // A design size at the control's scale.
    [[nodiscard]] int Px(int design) const noexcept { return base::Scaled(design, dpi); }
    [[nodiscard]] int GroupRowHeight() const noexcept { return Px(kGroupRowHeight); }
    // An entry row's height: the mode's, or the large one for an enlarged selection.
    [[nodiscard]] int EntryRowHeight(bool enlarged = false) const noexcept
    {
        return Px(enlarged ? kLargeRowHeight : entryRowHeight);
    }
};

// The instance of a list window, or null.
[[nodiscard]] ListInstance* FindInstance(HWND list);
ListInstance& AddInstance(std::unique_ptr<ListInstance> instance);
// Releases the instance and everything it owns (document, avatar bitmaps,
// icon strip, brush, font). Never throws: the list's WM_NCDESTROY must go on.
void RemoveInstance(HWND list) noexcept;

} // namespace grouplist
