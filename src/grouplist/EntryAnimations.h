#pragma once
// The two timed animations of entry rows: the avatar flash (the picture
// jumps one pixel right and down and back on every tick) and the online
// blink (online, offline, online, offline for a delay each, then online).
// Both run on timers of the list window, so a dead window has no timer and
// nothing waits in a message loop of its own.

#include "grouplist/ListInstance.h"

namespace grouplist {

inline constexpr UINT_PTR kFlashTimerId = 0x464C; // away from the list box's own timer ids
inline constexpr UINT_PTR kBlinkTimerId = 0x424C;
inline constexpr UINT kFlashPeriodMs = 300;

void OnFlashTimer(ListInstance& instance);
void OnBlinkTimer(ListInstance& instance);

// Ends an entry's blink and shows its real state; false when it had none.
bool EndBlink(ListInstance& instance, int handle);
// For entries leaving the document: off the flash list, blink ended, no repaint.
void ForgetEntryAnimations(ListInstance& instance, int handle);
void ForgetAllEntryAnimations(ListInstance& instance);
// Whether a blink shows an online entry as offline now.
[[nodiscard]] bool BlinkShowsOffline(const ListInstance& instance, int handle);

} // namespace grouplist
