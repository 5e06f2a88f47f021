// Online state and avatar flashing: the control's methods and the timer
// steps behind them.

#include "grouplist/EntryAnimations.h"

#include "grouplist/GroupedListControl.h"
#include "grouplist/ItemRecords.h"
#include "image/PictureHelpers.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace grouplist {

namespace {

using Doc = ItemDocument;

void RepaintRow(const ListInstance& instance, int row)
{
    if (row > -1)
        ::SendMessageW(instance.list, WM_LIST_PAINTROW, static_cast<WPARAM>(row), 0);
}

// Makes the grey twin the first time an entry's state is switched; it is
// kept with the entry from then on.
void EnsureGreyAvatar(IXMLDOMElement* element, const ItemRecord& item)
{
    if (item.greyPicture || !item.avatarPicture)
        return;
    base::UniqueBitmap grey = image::GreyCopy(item.avatarPicture);
    if (!grey)
        return;
    Doc::Set(element, Attr::GreyAvatar, BitmapToInt(grey.get()));
    (void)grey.release(); // the document names it now, and the control owns it
}

// An entry whose online state may be switched; groups and unknown handles are refused.
struct SwitchableEntry {
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
};

std::optional<SwitchableEntry> ReadSwitchableEntry(ListInstance* instance, int handle)
{
    SwitchableEntry entry;
    if (!instance || handle < 1 || !ReadItem(*instance, handle, entry.item, &entry.element) || entry.item.IsGroup())
        return std::nullopt;
    return entry;
}

// The grey picture is made the first time either state is set, so an
// offline entry always has one to paint.
void MarkOnline(const SwitchableEntry& entry, bool online)
{
    Doc::Set(entry.element, Attr::Online, online ? 1 : 0);
    EnsureGreyAvatar(entry.element, entry.item);
}

std::vector<OnlineBlink>::iterator FindBlink(ListInstance& instance, int handle)
{
    return std::find_if(instance.blinks.begin(), instance.blinks.end(),
                        [handle](const OnlineBlink& blink) { return blink.handle == handle; });
}

// Ticks can arrive late or early by a little; the wrap of the tick count is harmless.
bool IsDue(DWORD due, DWORD now)
{
    return static_cast<LONG>(now - due) >= 0;
}

// One timer serves every blink of the list: it is set for the earliest next step.
void ScheduleBlinks(ListInstance& instance)
{
    if (instance.blinks.empty()) {
        ::KillTimer(instance.list, kBlinkTimerId);
        return;
    }
    const DWORD now = ::GetTickCount();
    LONG wait = LONG_MAX;
    for (const OnlineBlink& blink : instance.blinks)
        wait = std::min(wait, static_cast<LONG>(blink.due - now));
    ::SetTimer(instance.list, kBlinkTimerId, static_cast<UINT>(std::max<LONG>(wait, USER_TIMER_MINIMUM)), nullptr);
}

int RowIndexOf(const ListInstance& instance, int handle)
{
    IXMLDOMElement* element = instance.document.Find(handle);
    return element ? Doc::Int(element, Attr::RowIndex) : -1;
}

void RemoveFlashing(ListInstance& instance, int handle)
{
    std::erase(instance.flashingEntries, handle);
    if (instance.flashingEntries.empty() && instance.flashTimerRunning) {
        ::KillTimer(instance.list, kFlashTimerId);
        instance.flashTimerRunning = false;
    }
}

} // namespace

bool BlinkShowsOffline(const ListInstance& instance, int handle)
{
    for (const OnlineBlink& blink : instance.blinks) {
        if (blink.handle == handle)
            return blink.step % 2 == 1;
    }
    return false;
}

bool EndBlink(ListInstance& instance, int handle)
{
    const auto found = FindBlink(instance, handle);
    if (found == instance.blinks.end())
        return false;
    instance.blinks.erase(found);
    ScheduleBlinks(instance);
    RepaintRow(instance, RowIndexOf(instance, handle));
    return true;
}

void ForgetEntryAnimations(ListInstance& instance, int handle)
{
    if (const auto found = FindBlink(instance, handle); found != instance.blinks.end()) {
        instance.blinks.erase(found);
        ScheduleBlinks(instance);
    }
    RemoveFlashing(instance, handle);
}

void ForgetAllEntryAnimations(ListInstance& instance)
{
    instance.blinks.clear();
    ScheduleBlinks(instance);
    instance.flashingEntries.clear();
    RemoveFlashing(instance, 0);
}

void OnBlinkTimer(ListInstance& instance)
{
    const DWORD now = ::GetTickCount();
    std::vector<int> repaint;
    for (auto it = instance.blinks.begin(); it != instance.blinks.end();) {
        if (!IsDue(it->due, now)) {
            ++it;
            continue;
        }
        repaint.push_back(it->handle);
        if (++it->step == 4) {
            it = instance.blinks.erase(it);
            continue;
        }
        it->due = now + it->delay;
        ++it;
    }
    ScheduleBlinks(instance);
    // Painting calls no handler, so the instance outlives the loop.
    for (int handle : repaint)
        RepaintRow(instance, RowIndexOf(instance, handle));
}

void OnFlashTimer(ListInstance& instance)
{
    // Last to first, so entries can leave the list during the pass.
    for (size_t i = instance.flashingEntries.size(); i-- > 0;) {
        const int handle = instance.flashingEntries[i];
        IXMLDOMElement* element = instance.document.Find(handle);
        if (!element) {
            instance.flashingEntries.erase(instance.flashingEntries.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const int row = Doc::Int(element, Attr::RowIndex);
        if (!Doc::Flag(element, Attr::Flashing)) {
            Doc::Set(element, Attr::AvatarOffset, 0);
            RepaintRow(instance, row);
            instance.flashingEntries.erase(instance.flashingEntries.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        Doc::Set(element, Attr::AvatarOffset, Doc::Int(element, Attr::AvatarOffset) == 0 ? 1 : 0);
        RepaintRow(instance, row);
    }
    RemoveFlashing(instance, 0);
}

int GroupedListControl::SetEntryOnline(int handle, int blinkDelayMs)
{
    ListInstance* instance = Instance();
    const std::optional<SwitchableEntry> entry = ReadSwitchableEntry(instance, handle);
    if (!entry)
        return 0;
    if (entry->item.online) {
        // A second call during a blink ends it on the online state.
        (void)EndBlink(*instance, handle);
        return 1;
    }
    MarkOnline(*entry, true);
    if (entry->item.rowIndex == -1)
        return 1;
    if (blinkDelayMs > 0) {
        const auto ms = static_cast<DWORD>(blinkDelayMs);
        instance->blinks.push_back({handle, 0, ::GetTickCount() + ms, ms});
        ScheduleBlinks(*instance);
    }
    RepaintRow(*instance, entry->item.rowIndex);
    return 1;
}

int GroupedListControl::SetEntryOffline(int handle)
{
    ListInstance* instance = Instance();
    const std::optional<SwitchableEntry> entry = ReadSwitchableEntry(instance, handle);
    if (!entry)
        return 0;
    if (const auto found = FindBlink(*instance, handle); found != instance->blinks.end()) {
        instance->blinks.erase(found);
        ScheduleBlinks(*instance);
    }
    MarkOnline(*entry, false);
    RepaintRow(*instance, entry->item.rowIndex);
    return 1;
}

void GroupedListControl::StartAvatarFlash(int handle)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
    if (!instance || !grouplist::ReadItem(*instance, handle, item, &element) || item.IsGroup() || item.flashing)
        return;
    Doc::Set(element, Attr::Flashing, 1);
    // Restarted before the tick that would have taken it off: still listed once.
    if (std::find(instance->flashingEntries.begin(), instance->flashingEntries.end(), handle) ==
        instance->flashingEntries.end())
        instance->flashingEntries.push_back(handle);
    if (!instance->flashTimerRunning)
        instance->flashTimerRunning = ::SetTimer(instance->list, kFlashTimerId, kFlashPeriodMs, nullptr) != 0;
}

void GroupedListControl::StopAvatarFlash(int handle)
{
    ListInstance* instance = Instance();
    ItemRecord item;
    IXMLDOMElement* element = nullptr;
    // The next tick puts the avatar back and takes the entry off the list.
    if (instance && grouplist::ReadItem(*instance, handle, item, &element) && item.flashing)
        Doc::Set(element, Attr::Flashing, 0);
}

} // namespace grouplist
