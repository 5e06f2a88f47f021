#include "music/MciPlayer.h"

#include <mmsystem.h>

#include <atomic>
#include <string_view>

namespace music {

namespace {
constexpr wchar_t kNotifyClass[] = L"QuilleryMciNotify";
} // namespace

MciPlayer::MciPlayer()
{
    // Players are made on worker threads, possibly several at once.
    static std::atomic<unsigned> counter{0};
    m_alias = L"QuilleryTrack" + std::to_wstring(++counter);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(instance, kNotifyClass, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &MciPlayer::NotifyProc;
        wc.hInstance = instance;
        wc.lpszClassName = kNotifyClass;
        (void)::RegisterClassExW(&wc); // without it no window: tracks play, the end goes unnoticed
    }
    m_notify.reset(::CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (m_notify)
        ::SetWindowLongPtrW(m_notify.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MciPlayer::~MciPlayer()
{
    Close();
    if (m_notify)
        ::SetWindowLongPtrW(m_notify.get(), GWLP_USERDATA, 0);
}

bool MciPlayer::Send(const std::wstring& command, HWND callback) const
{
    return ::mciSendStringW(command.c_str(), nullptr, 0, callback) == 0;
}

bool MciPlayer::Play(const std::wstring& path)
{
    Close();
    // Quoting passes a path whole (spaces, Chinese names and all) because
    // no file name can hold a double quote; a line that does would end the
    // quotes and have the rest read as MCI options.
    if (path.empty() || path.find(L'"') != std::wstring::npos ||
        !Send(L"open \"" + path + L"\" type mpegvideo alias " + m_alias))
        return false;
    m_open = true;
    if (!m_notify || !Send(L"play " + m_alias + L" from 0 notify", m_notify.get())) {
        Close();
        return false;
    }
    return true;
}

void MciPlayer::Stop()
{
    Close();
}

void MciPlayer::Close()
{
    m_endNoticed = false;
    if (!m_open)
        return;
    (void)Send(L"close " + m_alias);
    m_open = false;
}

bool MciPlayer::PlayedToEnd() const
{
    // Wine posts the notice from a thread whose exit is what turns the mode
    // to "stopped", so at the notice itself the mode may still say playing.
    // Asking when the bar polls gives that thread its moment; a notice left
    // over from a replaced track stays harmless, as the new one is playing.
    return m_open && m_endNoticed && Stopped();
}

bool MciPlayer::Stopped() const
{
    wchar_t mode[32]{};
    const std::wstring command = L"status " + m_alias + L" mode";
    return ::mciSendStringW(command.c_str(), mode, 32, nullptr) == 0 && std::wstring_view(mode) == L"stopped";
}

LRESULT CALLBACK MciPlayer::NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == MM_MCINOTIFY) {
        auto* self = reinterpret_cast<MciPlayer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        // The notice names no device under Wine, and one for a track
        // already replaced may still be queued: PlayedToEnd checks the mode.
        if (self && self->m_open && wParam == MCI_NOTIFY_SUCCESSFUL)
            self->m_endNoticed = true;
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace music
