#pragma once
// The records through which the grouped list's items are read and written,
// and the types its callers see.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace grouplist {

// Sent to a list window: paint row wParam now.
inline constexpr UINT WM_LIST_PAINTROW = WM_USER + 1;

// Values of the kind attribute.
inline constexpr wchar_t kKindGroup[] = L"分组";
inline constexpr wchar_t kKindEntry[] = L"项目";

// Called synchronously from the list window's procedure with
// (item handle, x, y); the service-icon report passes (item, icon number, 0).
using ListEventHandler = std::function<void(int item, int x, int y)>;

// Offered the list window's WM_KEYDOWN (a virtual key), WM_CHAR and
// WM_IME_CHAR (a character) before the control acts on them; true when the
// host has taken the key.
using ListKeyHandler = std::function<bool(UINT message, WPARAM code)>;

// Called with an in-place rename's text when the user presses Enter. True:
// accepted, the edit goes; false: refused (the host has told the user why),
// the edit stays with its text selected.
using RenameHandler = std::function<bool(int handle, const std::wstring& text)>;

// One group or entry as the item document holds it.
struct ItemRecord {
    int handle = 0;
    std::wstring kind;
    int groupHandle = 0;
    std::vector<std::uint8_t> avatarImage; // only while an entry is being added
    HBITMAP avatarPicture = nullptr;       // owned by the control
    HBITMAP greyPicture = nullptr;         // owned by the control
    std::wstring name;
    std::wstring number;
    COLORREF nameColor = 0;
    bool online = false;
    std::wstring signature;
    bool expanded = false;
    std::vector<int> serviceIcons;
    int serviceIconCount = 0;
    std::wstring remark;
    bool flashing = false;
    int avatarOffset = 0;
    int avatarWidth = 0;
    int avatarHeight = 0;
    int rowIndex = 0;
    int value = 0;
    bool missing = false; // an entry whose program is gone

    [[nodiscard]] bool IsGroup() const { return kind == kKindGroup; }
};

// An entry as callers hand it in and get it back.
struct EntryInfo {
    int handle = 0;
    int groupHandle = 0;
    std::vector<std::uint8_t> avatarImage; // an image file in memory
    HBITMAP avatarPicture = nullptr;       // AddEntry takes it over; GetEntryInfo lends it
    std::wstring name;
    std::wstring number;
    COLORREF nameColor = 0;
    bool online = false;
    std::wstring signature;
    std::wstring remark;
    int value = 0;
};

} // namespace grouplist
