#pragma once
// A reusable owner-drawn list of expandable groups and entries, built on a
// system list box inside a host window. Items live in an XML document; rows
// carry item handles, and their names as text for accessibility tools. The
// control reports mouse events and offers keys through the handlers its host
// registers and never calls into the host otherwise.
//
// Keys the host declines: Up and Down move the selection between shown
// entries, stopping also at groups with nothing shown under them; Home, End,
// Page Up and Page Down move it likewise. Right expands and Left collapses the
// selection's group (an entry's group collapsing selects the group's row).
// Enter reports an entry as double-clicked and toggles a group. A group
// toggled and an entry started from the keyboard report x = y = -1, as
// Windows reports a context menu asked for from the keyboard; that menu
// (Apps, Shift+F10) is reported as a right-click on the selection at
// (-1, -1), or on the blank area when nothing is selected. A right-click on
// a row selects it before it is reported. Characters never reach the list
// box's own type-ahead.
//
// Resting the pointer on an entry row shows its signature (the program's
// path) in a tooltip.
//
// The object is a copyable pair (list window, host window), with the DPI it
// creates the list at; every other piece of state is in the control's
// ListInstance.

#include "grouplist/ListInstance.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grouplist {

// Row style arguments: an omitted colour takes its default.
struct RowStyle {
    std::optional<int> shape; // 1: square rows; anything else or omitted: rounded
    std::optional<COLORREF> normalPen;
    std::optional<COLORREF> normalBrush;
    std::optional<COLORREF> hoverPen;
    std::optional<COLORREF> hoverBrush;
    std::optional<COLORREF> selectedPen;
    std::optional<COLORREF> selectedBrush;
};

struct EntryStyle : RowStyle {
    std::optional<COLORREF> avatarFrame;
    std::optional<COLORREF> signature;
};

class GroupedListControl {
public:
    GroupedListControl() = default;

    // The list window; 0 once it has been destroyed.
    [[nodiscard]] HWND GetWindowHandle();
    [[nodiscard]] bool IsCreated() const;
    // border: 1 sunken edge, 2 thin border, else none. mode: 1 medium,
    // 2 small, else large. False when this object already has a live list or
    // the host is not a window. The list is made at the DPI SetDpi gave.
    bool Create(HWND host, int border = 0, int mode = 0, bool enlargeSelected = false,
                COLORREF background = RGB(255, 255, 255));

    // Replaces all ten handlers; omitted ones become none.
    void SetEventHandlers(ListEventHandlers handlers);
    void SetEntryClickHandler(ListEventHandler handler);
    void SetEntryDoubleClickHandler(ListEventHandler handler);
    void SetEntryRightClickHandler(ListEventHandler handler);
    void SetRowEnterHandler(ListEventHandler handler);
    void SetRowLeaveHandler(ListEventHandler handler);
    void SetGroupClickHandler(ListEventHandler handler);
    void SetGroupDoubleClickHandler(ListEventHandler handler);
    void SetGroupRightClickHandler(ListEventHandler handler);
    void SetServiceIconClickHandler(ListEventHandler handler);
    void SetBlankRightClickHandler(ListEventHandler handler);
    void SetKeyHandler(ListKeyHandler handler);

    // Shows only the entries whose names hold text (Latin letters in either
    // case, full-width ASCII forms as their plain twins), each under its
    // group, shown expanded; groups without a match have no row. The first
    // match is selected, and stays the selection as entries come until the
    // user selects another row. Entries added meanwhile get a row only if
    // they match; emptying the list keeps the filter for what comes next.
    // Empty text ends it: every group gets back the expanded or collapsed
    // state it had before the filter began, and the list its top row.
    void SetFilter(std::wstring_view text);
    [[nodiscard]] std::wstring FilterText() const;

    // Adds a service icon image, scaled to 16 x 16; its number (1-based), or
    // 0 when the picture cannot be decoded.
    int AddServiceIcon(std::span<const std::uint8_t> picture, COLORREF transparent = RGB(255, 0, 255));

    // Item operations. Handles of 0 and -1 never name an item; failures give
    // 0 or empty text.
    // info.avatarPicture comes back borrowed: the control still owns it, and
    // it lives only as long as the entry.
    int GetEntryInfo(int handle, EntryInfo& info, std::vector<int>* icons = nullptr, bool withImage = false);
    void UpdateEntry(const EntryInfo& info);
    int GetSelectedEntry(EntryInfo& info, std::vector<int>* icons = nullptr);
    [[nodiscard]] int FindEntryByNumber(std::wstring_view text);
    [[nodiscard]] int FindEntryByName(std::wstring_view text);
    [[nodiscard]] int FindEntryByRemark(std::wstring_view text);
    [[nodiscard]] int FindEntryByAttribute(const std::wstring& attribute, std::wstring_view text);
    // On success the control takes over info.avatarPicture (or the bitmap it
    // makes from info.avatarImage), deletes it with the entry and clears it
    // in info, so a record used again names no bitmap twice; when the entry
    // is refused the caller keeps its bitmap. icons: null = omitted.
    int AddEntry(EntryInfo& info, const std::vector<int>* icons = nullptr);
    // Shows picture as the entry's avatar, drawn from its real size, and
    // repaints the entry's row. The entry takes a share of the picture: the
    // caller keeps its own and gives it back with ReleasePicture, so one
    // bitmap can serve any number of entries. The entry's old pictures are
    // let go. 0 for groups and handles that name no entry.
    int SetEntryPicture(int handle, HBITMAP picture);
    // Pictures several owners show: one more owner, one fewer (the last one
    // deletes the bitmap). A bitmap never shared has a single owner.
    static void SharePicture(HBITMAP picture);
    static void ReleasePicture(HBITMAP picture);
    int AddGroup(std::wstring_view name, bool expanded = false, COLORREF nameColor = 0, int value = 0,
                 std::wstring_view remark = {});
    int ExpandGroup(int handle);
    int CollapseGroup(int handle);
    void ExpandAllGroups();
    void CollapseAllGroups();
    int DeleteEntry(int handle);
    [[nodiscard]] int FindGroupByName(std::wstring_view text);
    [[nodiscard]] std::wstring GetGroupName(int handle);
    [[nodiscard]] int GetGroupValue(int handle);
    void SetGroupValue(int handle, int value);
    void SetEntryValue(int handle, int value);
    [[nodiscard]] std::wstring GetGroupRemark(int handle);
    [[nodiscard]] int GetEntryValue(int handle);
    [[nodiscard]] std::wstring GetEntryRemark(int handle);
    // Without a handle: every group.
    int ClearGroupEntries(std::optional<int> handle = std::nullopt);
    int DeleteGroup(std::optional<int> handle = std::nullopt);

    // Online state. 0 for groups and handles that name no entry. A delay
    // above 0 blinks the row (online, offline, online, offline, delay ms
    // each, then online) on a timer; the call returns at once, the entry
    // already online. A later call ends the blink.
    int SetEntryOnline(int handle, int blinkDelayMs = 0);
    int SetEntryOffline(int handle);
    // The avatar jumps a pixel right and down and back every 300 ms until
    // stopped; it is back in place within one period of the stop.
    void StartAvatarFlash(int handle);
    void StopAvatarFlash(int handle);

    void Redraw();
    // Between these (they nest) added and removed rows are not drawn one by
    // one: the list repaints once at the end if its rows changed.
    void BeginUpdate();
    void EndUpdate();
    // The next item handle of the process.
    static int NewHandle();
    bool SaveToFile(const std::wstring& path);
    void SortAllGroups();

    // The scale the control draws at: every size it has (row heights of all
    // modes, fonts, the picture box, icons, arrows, indents) is designed for
    // 96 DPI and drawn scaled by dpi / 96. Before Create it sets the scale
    // the list is made at; after, it measures every row again, fits the list
    // to its host's client area (the host is to have its new size first) and
    // repaints. Rows keep their indexes, so hover and selection stay put.
    void SetDpi(int dpi);
    [[nodiscard]] int Dpi() const;

    void SetLargeMode();
    void SetMediumMode(bool enlargeSelected);
    void SetSmallMode(bool enlargeSelected);
    void SetGroupStyle(const RowStyle& style = {});
    void SetEntryStyle(const EntryStyle& style = {});
    // kNoColour for either means none.
    void SetServiceIconHighlight(std::optional<COLORREF> fill = std::nullopt,
                                 std::optional<COLORREF> frame = std::nullopt);
    // Selects the item's row and scrolls it into sight (also when it was
    // selected already); an item without a row (in a collapsed group, or
    // filtered out) is left alone. Always 0.
    int SelectItem(int handle);
    [[nodiscard]] int GetHandleAtRow(int row);
    // The selected row's item; 0 when none.
    [[nodiscard]] int SelectedHandle() const;

    // An edit over the item's name in its row, holding text all selected,
    // with the keyboard. Enter calls onCommit with the text: true closes the
    // edit, false keeps it with its text selected. Esc, a press elsewhere on
    // the list, the edit losing the keyboard, scrolling, the item losing its
    // row or a new scale close it unreported; while rows move it stays over
    // its item. False when the item has no row shown (the host expands the
    // group first), or while onCommit runs; a rename already open for
    // another item is cancelled first.
    bool BeginRename(int handle, const std::wstring& text, RenameHandler onCommit);
    void CancelRename();
    [[nodiscard]] HWND RenameEdit() const; // the open edit, or null

    // An entry whose program is gone: its name drawn grey, a warning mark on
    // its picture's corner, its row's text ending in " (找不到程序)" (the
    // filter still looks at the name alone). False clears it. 0 for groups
    // and handles that name no entry.
    int SetEntryMissing(int handle, bool missing);
    [[nodiscard]] bool IsEntryMissing(int handle) const;

    // The host suspends the path tooltip while a menu of its own is open.
    void SuspendTooltips(bool suspend);
    [[nodiscard]] HWND TooltipWindow() const; // null until first needed

    void SetGroupName(int handle, std::wstring_view name, std::optional<COLORREF> nameColor = std::nullopt);
    void SetNameColor(int handle, COLORREF nameColor);
    int InsertGroup(int beforeHandle, std::wstring_view name, bool expanded = false, COLORREF nameColor = 0,
                    int value = 0, std::wstring_view remark = {});

    // Read access for hosts that look closer (and for tests).
    [[nodiscard]] std::optional<ItemRecord> ReadItem(int handle) const;
    [[nodiscard]] int HoverRow() const;
    [[nodiscard]] int SelectedRow() const;
    [[nodiscard]] IXMLDOMDocument* Document() const;

    // The picture pair drawn for entries that have no avatar of their own,
    // shared by every control of the process, drawn from its own size (a
    // host makes it 40 x 40 at 96 DPI, scaled likewise). Not owned.
    static void SetDefaultAvatars(HBITMAP picture, HBITMAP grey);

private:
    [[nodiscard]] ListInstance* Instance() const;
    // beforeHandle: the group it goes in front of in row order; 0 for the end.
    int AddGroupElement(ListInstance& instance, int beforeHandle, std::wstring_view name, bool expanded,
                        COLORREF nameColor, int value, std::wstring_view remark);
    int SetGroupExpanded(int handle, bool expand);
    void ApplyModeHeight(int mode, int height, std::optional<bool> enlargeSelected);

    HWND m_list = nullptr; // not owned: destroyed with its host
    HWND m_host = nullptr; // not owned
    int m_dpi = base::kDesignDpi; // for Create; a live list keeps its own
};

// Holds a list's drawing over a scope of row changes.
class ListUpdate {
public:
    explicit ListUpdate(GroupedListControl& list) : m_list(list) { m_list.BeginUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;
    ~ListUpdate() { m_list.EndUpdate(); }

private:
    GroupedListControl& m_list;
};

} // namespace grouplist
