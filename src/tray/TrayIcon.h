#pragma once
// One icon in the notification area, owned by one window. While the icon
// exists its owner is subclassed, so the icon's mouse messages, the
// taskbar's restart notice and the owner's destruction reach this object.

#include "base/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tray {

inline constexpr UINT kIconId = 1;
// Set on the owner window; hides a timed balloon.
inline constexpr UINT_PTR kBalloonTimerId = 741852;

// Shell_NotifyIconW, or a recorder in tests. Returns what the shell answered.
using NotifyFunction = std::function<bool(DWORD message, const NOTIFYICONDATAW& data)>;

// The icon of directory entry `index` of an icon file's bytes, with the
// entry's width and height (0..255, as stored) when asked for. Null when
// the entry or its image lies outside the bytes or is not an icon.
[[nodiscard]] base::UniqueIcon IconFromIcoBytes(std::span<const unsigned char> bytes, int index,
                                                int* width = nullptr, int* height = nullptr);

// Copies text into a fixed-size field of `capacity` characters, cut to
// capacity - 1 characters without splitting a surrogate pair, always
// terminated.
void CopyToField(wchar_t* field, size_t capacity, std::wstring_view text) noexcept;

class TrayIcon {
public:
    // Receives the mouse message (WM_LBUTTONDBLCLK, WM_RBUTTONUP, ...) on the icon.
    using EventHandler = std::function<void(UINT mouseMessage)>;

    // taskbarCreatedMessage: the id registered for "TaskbarCreated";
    // callbackMessage: the one the icon reports its mouse events with, a
    // number the owner has no other use for.
    TrayIcon(UINT taskbarCreatedMessage, UINT callbackMessage, NotifyFunction notify = {});
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon(); // removes an installed icon

    // Where the icon's calls go from now on; the shell unless replaced.
    void SetNotifyFunction(NotifyFunction notify);

    // Puts the icon into the notification area. Without icon bytes the
    // owner's small icon is used; when it has none, nothing is added. While
    // the icon is installed, only the picture and the tip are changed.
    // True when the shell shows the icon. An icon the shell refused stays
    // installed and is added again when the taskbar announces itself (it
    // may not be up yet); Remove takes it away for good.
    [[nodiscard]] bool Add(HWND owner, std::optional<std::span<const unsigned char>> iconFileBytes = std::nullopt,
                           std::optional<std::wstring_view> tip = std::nullopt, EventHandler handler = {});
    // Bytes that hold no icon leave the picture as it is.
    void SetIcon(std::span<const unsigned char> iconFileBytes);
    void SetTip(std::wstring_view tip);
    // Deletes the icon and gives the owner its own window procedure back.
    void Remove();

    // Shows a balloon on the icon; empty texts with flags 0 take it away.
    void Balloon(std::wstring_view title, std::wstring_view text, DWORD infoFlags);
    // The same, and takes the balloon away after timeoutMs when given. A
    // second timed balloon restarts the time.
    void BalloonTimed(std::wstring_view title, std::wstring_view text, DWORD infoFlags,
                      std::optional<UINT> timeoutMs = std::nullopt);

    [[nodiscard]] bool Installed() const noexcept { return m_installed; }
    [[nodiscard]] HWND Owner() const noexcept { return m_owner; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self) noexcept;
    LRESULT OnOwnerMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Notify(DWORD message);

    UINT m_taskbarCreatedMessage;
    UINT m_callbackMessage;
    NotifyFunction m_notify;
    HWND m_owner = nullptr; // not owned
    bool m_installed = false;
    bool m_shown = false; // the shell took the icon when last asked to add it
    NOTIFYICONDATAW m_data{};
    base::UniqueIcon m_icon; // the picture the shell was last given
    EventHandler m_handler;
};

} // namespace tray
