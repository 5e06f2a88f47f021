#include "tray/TrayIcon.h"

#include "base/AppMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tray {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

constexpr size_t kIconDirectorySize = 6;
constexpr size_t kDirectoryEntrySize = 16;

[[nodiscard]] uint16_t ReadWord(const unsigned char* at) noexcept
{
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

[[nodiscard]] uint32_t ReadDword(const unsigned char* at) noexcept
{
    return static_cast<uint32_t>(ReadWord(at)) | (static_cast<uint32_t>(ReadWord(at + 2)) << 16);
}

[[nodiscard]] bool IsHighSurrogate(wchar_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

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
    if (index < 0)
        return {};
    // 64-bit arithmetic: no index or stored offset can wrap it.
    const uint64_t entry = kIconDirectorySize + kDirectoryEntrySize * static_cast<uint64_t>(index);
    if (entry + kDirectoryEntrySize > bytes.size())
        return {};
    const unsigned char* fields = bytes.data() + entry;
    if (width)
        *width = fields[0];
    if (height)
        *height = fields[1];
    const uint64_t size = ReadDword(fields + 8);
    const uint64_t offset = ReadDword(fields + 12);
    if (size == 0 || offset >= bytes.size())
        return {};
    const size_t length = static_cast<size_t>(std::min<uint64_t>(size, bytes.size() - offset));
    // Nothing shorter than the smallest bitmap header can be an image.
    if (length < sizeof(BITMAPCOREHEADER))
        return {};
    // The image is read as a BITMAPINFO: give it an aligned copy of its own,
    // whatever the offset in the file.
    std::vector<BYTE> image(bytes.begin() + static_cast<ptrdiff_t>(offset),
                            bytes.begin() + static_cast<ptrdiff_t>(offset + length));
    // Size 0 x 0 without LR_DEFAULTSIZE: the image's own size.
    return base::UniqueIcon(::CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                                       0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

int IconEntryOfSize(std::span<const unsigned char> bytes, int pixels) noexcept
{
    if (bytes.size() < kIconDirectorySize)
        return 0;
    const size_t count = ReadWord(bytes.data() + 4);
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = kIconDirectorySize + kDirectoryEntrySize * i;
        if (entry + kDirectoryEntrySize > bytes.size())
            break;
        // Stored as a byte: 0 stands for 256.
        const int width = bytes[entry] ? bytes[entry] : 256;
        const int height = bytes[entry + 1] ? bytes[entry + 1] : 256;
        if (width == pixels && height == pixels)
            return static_cast<int>(i);
    }
    return 0;
}

namespace {

// The notification area shows small icons at the system's scale.
base::UniqueIcon NotificationAreaIcon(std::span<const unsigned char> iconFileBytes)
{
    return IconFromIcoBytes(iconFileBytes, IconEntryOfSize(iconFileBytes, ::GetSystemMetrics(SM_CXSMICON)));
}

} // namespace

void CopyToField(wchar_t* field, size_t capacity, std::wstring_view text) noexcept
{
    if (!field || capacity == 0)
        return;
    size_t count = std::min(text.size(), capacity - 1);
    if (count > 0 && IsHighSurrogate(text[count - 1]))
        --count; // half a character would show as garbage
    std::copy_n(text.data(), count, field);
    field[count] = L'\0';
}

TrayIcon::TrayIcon(UINT taskbarCreatedMessage, NotifyFunction notify)
    : m_taskbarCreatedMessage(taskbarCreatedMessage),
      m_notify(notify ? std::move(notify) : NotifyFunction(&ShellNotify))
{
}

TrayIcon::~TrayIcon()
{
    if (m_installed)
        Remove();
}

void TrayIcon::Add(HWND owner, std::optional<std::span<const unsigned char>> iconFileBytes,
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
        return;
    }

    base::UniqueIcon picture;
    if (iconFileBytes) {
        // Bytes without an icon still give an icon, one without a picture.
        picture = NotificationAreaIcon(*iconFileBytes);
    } else {
        HICON shared = owner ? SharedSmallIcon(owner) : nullptr;
        if (!shared)
            return;
        picture.reset(::CopyIcon(shared));
        if (!picture)
            return;
    }

    // SetWindowSubclass rather than a replaced window procedure: removal is
    // safe even when someone subclassed the owner after us, and afterwards
    // the owner's own procedure is first again. Its cost per message under
    // Wine does not matter here: the icon only exists while the owner hides.
    if (!owner || !::SetWindowSubclass(owner, &TrayIcon::SubclassProc, kSubclassId,
                                       reinterpret_cast<DWORD_PTR>(this)))
        return;
    if (handler)
        m_handler = std::move(handler);

    m_icon = std::move(picture);
    m_data = {};
    m_data.cbSize = sizeof m_data;
    m_data.hWnd = owner;
    m_data.uID = kIconId;
    m_data.uFlags = kIconFlags;
    m_data.uCallbackMessage = base::kTrayCallbackMessage;
    m_data.hIcon = m_icon.get();
    CopyToField(m_data.szTip, std::size(m_data.szTip), tip.value_or(std::wstring_view{}));
    // Installed even when the shell refuses: a shell that is not up yet
    // announces itself with the taskbar-created message, and the icon is
    // added then.
    m_installed = true;
    Notify(NIM_ADD);
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
    if (message == base::kTrayCallbackMessage) {
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
        Notify(NIM_ADD);
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
