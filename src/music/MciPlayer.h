#pragma once
// MediaPlayer on MCI's MPEG device. The end of a track is learnt from MCI's
// end-of-play notification: under Wine the position reads 0 once a track
// has ended, so position against length cannot tell. The notice goes to a
// message-only window of the thread that made the player, which must
// dispatch its messages.

#include "base/Handles.h"
#include "music/MediaPlayer.h"

#include <windows.h>

namespace music {

class MciPlayer final : public MediaPlayer {
public:
    MciPlayer();
    MciPlayer(const MciPlayer&) = delete;
    MciPlayer& operator=(const MciPlayer&) = delete;
    ~MciPlayer() override;

    [[nodiscard]] bool Play(const std::wstring& path) override;
    void Stop() override;
    [[nodiscard]] bool PlayedToEnd() const override;

private:
    static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    [[nodiscard]] bool Send(const std::wstring& command, HWND callback = nullptr) const;
    void Close();
    [[nodiscard]] bool Stopped() const;

    std::wstring m_alias;         // unique per player, so several can live in one process
    base::UniqueWindow m_notify;  // message-only window that receives MM_MCINOTIFY
    bool m_open = false;          // a track is open under m_alias
    bool m_endNoticed = false;    // MCI said play ended; confirmed by the mode when asked
};

} // namespace music
