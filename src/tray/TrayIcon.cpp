#include "tray/TrayIcon.h"

#include "base/Utf16.h"
#include "image/IconDirectory.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace tray {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The owner's small icon belongs to the owner; the caller copies it.
[[nodiscard]] HICON SharedSmallIcon(HWND owner) noexcept
{
    for (WPARAM kind : {ICON_SMALL, ICON_SMALL2}) {
        if (auto icon = reinterpret_cast<HICON>(::SendMessageW(owner, WM_GETICON, kind, 0)))
            return icon;
    }
    return reinterpret_cast<HICON>(::GetClassLongPtrW(owner, GCLP_HICONSM));
}

[[nodiscard]] bool ShellNotify(DWORD message, const NOTIFYICONDATAW& data)
{
    NOTIFYICONDATAW copy = data; // the shell's prototype is not const
    return ::Shell_NotifyIconW(message, &copy) != FALSE;
}

} // namespace

base::UniqueIcon IconFromIcoBytes(std::span<const unsigned char> bytes, int index, int* width, int* height)
{
    const std::optional<image::IconEntry> entry = image::IconEntryAt(bytes, index);
    if (!entry)
        return {};
    if (width)
        *width = entry->width;
    if (height)
        *height = entry->height;
    if (entry->image.empty())
        return {};
    // The image is read as a BITMAPINFO: give it an aligned copy of its own,
    // whatever the offset in the file.
    std::vector<BYTE> copy(entry->image.begin(), entry->image.end());
    // Size 0 x 0 without LR_DEFAULTSIZE: the image's own size.
    return base::UniqueIcon(::CreateIconFromResourceEx(copy.data(), static_cast<DWORD>(copy.size()), TRUE,
                                                       0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

namespace {

// The notification area shows small icons at the system's scale.
base::UniqueIcon NotificationAreaIcon(std::span<const unsigned char> iconFileBytes)
{
    return IconFromIcoBytes(iconFileBytes, image::IconEntryOfSize(iconFileBytes, ::GetSystemMetrics(SM_CXSMICON)));
}

} // namespace

void CopyToField(wchar_t* field, size_t capacity, std::wstring_view text) noexcept
{
    if (!field || capacity == 0)
        return;
    size_t count = std::min(text.size(), capacity - 1);
    if (count > 0 && base::IsHighSurrogate(text[count - 1]))
        --count; // half a character would show as garbage
    std::copy_n(text.data(), count, field);
    field[count] = L'\0';
}

TrayIcon::TrayIcon(UINT taskbarCreatedMessage, UINT callbackMessage, NotifyFunction notify)
    : m_taskbarCreatedMessage(taskbarCreatedMessage), m_callbackMessage(callbackMessage),
      m_notify(notify ? std::move(notify) : NotifyFunction(&ShellNotify))
{
}

void TrayIcon::SetNotifyFunction(NotifyFunction notify)
{
    m_notify = notify ? std::move(notify) : NotifyFunction(&ShellNotify);
}

TrayIcon::~TrayIcon()
{
    if (m_installed)
        Remove();
}

bool TrayIcon::Add(HWND owner, std::optional<std::span<const unsigned char>> iconFileBytes,
                   std::optional<std::wstring_view> tip, EventHandler handler)
{
    // One icon at a time: moving it to another window takes it off the first.
    if (m_installed && owner != m_owner)
        Remove();
    m_owner = owner;
    if (m_installed) {
        if (iconFileBytes)
            SetIcon(*iconFileBytes);
        if (tip)
            SetTip(*tip);
        return m_shown;
    }

    base::UniqueIcon picture;
    if (iconFileBytes) {
        // Bytes without an icon still give an icon, one without a picture.
        picture = NotificationAreaIcon(*iconFileBytes);
    } else {
        HICON shared = owner ? SharedSmallIcon(owner) : nullptr;
        if (!shared)
            return false;
        picture.reset(::CopyIcon(shared));
        if (!picture)
            return false;
    }

    // SetWindowSubclass rather than a replaced window procedure: removal is
    // safe even when someone subclassed the owner after us, and afterwards
    // the owner's own procedure is first again. Its cost per message under
    // Wine does not matter here: the icon only exists while the owner hides.
    if (!owner || !::SetWindowSubclass(owner, &TrayIcon::SubclassProc, kSubclassId,
                                       reinterpret_cast<DWORD_PTR>(this)))
        return false;
    if (handler)
        m_handler = std::move(handler);

    m_icon = std::move(picture);
    m_data = {};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = owner;
    m_data.uID = kIconId;
    m_data.uFlags = kIconFlags;
    m_data.uCallbackMessage = m_callbackMessage;
    m_data.hIcon = m_icon.get();
    CopyToField(m_data.szTip, std::size(m_data.szTip), tip.value_or(std::wstring_view{}));
    // Installed even when the shell refuses: a shell that is not up yet
    // announces itself with the taskbar-created message, and the icon is
    // added then.
    m_installed = true;
    m_shown = Notify(NIM_ADD);
    return m_shown;
}

void TrayIcon::SetIcon(std::span<const unsigned char> iconFileBytes)
{
    if (!m_installed)
        return;
    base::UniqueIcon picture = NotificationAreaIcon(iconFileBytes);
    if (!picture)
        return;
    m_data.uFlags = kIconFlags;
    m_data.hIcon = picture.get();
    Notify(NIM_MODIFY);
    // Only now that the shell holds the new picture may the old one go.
    m_icon = std::move(picture);
}

void TrayIcon::SetTip(std::wstring_view tip)
{
    if (!m_installed)
        return;
    m_data.uFlags = kIconFlags;
    CopyToField(m_data.szTip, std::size(m_data.szTip), tip);
    Notify(NIM_MODIFY);
}

void TrayIcon::Remove()
{
    if (!m_installed)
        return;
    ::RemoveWindowSubclass(m_owner, &TrayIcon::SubclassProc, kSubclassId);
    ::KillTimer(m_owner, kBalloonTimerId);
    m_installed = false;
    m_shown = false;
    Notify(NIM_DELETE);
    m_data.hIcon = nullptr;
    m_icon.reset();
}

void TrayIcon::Balloon(std::wstring_view title, std::wstring_view text, DWORD infoFlags)
{
    if (!m_installed)
        return;
    // A pending time belongs to the balloon this one replaces.
    ::KillTimer(m_owner, kBalloonTimerId);
    m_data.uFlags = NIF_INFO;
    CopyToField(m_data.szInfoTitle, std::size(m_data.szInfoTitle), title);
    CopyToField(m_data.szInfo, std::size(m_data.szInfo), text);
    m_data.dwInfoFlags = infoFlags;
    Notify(NIM_MODIFY);
}

void TrayIcon::BalloonTimed(std::wstring_view title, std::wstring_view text, DWORD infoFlags,
                            std::optional<UINT> timeoutMs)
{
    Balloon(title, text, infoFlags);
    // The same id on the same window: a second timed balloon restarts the time.
    if (m_installed && timeoutMs)
        ::SetTimer(m_owner, kBalloonTimerId, *timeoutMs, nullptr);
}

LRESULT CALLBACK TrayIcon::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) noexcept
{
    try {
        return reinterpret_cast<TrayIcon*>(self)->OnOwnerMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dispatch code. A handler may
        // have removed the subclass; passing on is still safe then.
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

LRESULT TrayIcon::OnOwnerMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_callbackMessage) {
        if (!m_handler)
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        // A copy: the handler may remove the icon or even destroy this
        // object, and nothing of it is touched once the handler returns.
        const EventHandler handler = m_handler;
        handler(LOWORD(lParam));
        return 0;
    }
    if (m_taskbarCreatedMessage != 0 && message == m_taskbarCreatedMessage) {
        // The taskbar restarted with no icons: ours comes back as it was.
        m_data.uFlags = kIconFlags;
        m_shown = Notify(NIM_ADD);
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_TIMER:
        if (wParam != kBalloonTimerId)
            break;
        ::KillTimer(hwnd, kBalloonTimerId);
        Balloon(L"", L"", 0);
        return 0;
    case WM_ENDSESSION:
        // The process is ended right after a log-off: leave no dead icon.
        if (wParam)
            Remove();
        break;
    case WM_DESTROY:
        // Passed on, so the owner's own WM_DESTROY handling still runs.
        Remove();
        break;
    case WM_NCDESTROY:
        Remove();
        ::RemoveWindowSubclass(hwnd, &TrayIcon::SubclassProc, kSubclassId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

bool TrayIcon::Notify(DWORD message)
{
    try {
        return m_notify(message, m_data);
    } catch (...) {
        return false; // to the shell's user, a refused call
    }
}

} // namespace tray
