#include "catalogue/Catalogue.h"

#include "base/Hashing.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/ProgramIcons.h"
#include "image/PictureHelpers.h"

#include <algorithm>
#include <utility>

namespace catalogue {

namespace {

constexpr wchar_t kLoaderClass[] = L"QuilleryCatalogueLoader";
constexpr UINT_PTR kSliceTimer = 1;
constexpr UINT_PTR kReadAheadTimer = 2;
// The worker's "pictures wait"; the loader's window is its own, so the
// number is the loader's to choose.
constexpr UINT kIconsReadyMessage = WM_APP + 1;
// A slice of work between two looks at the queue: short enough that input
// and paint never wait long for it.
constexpr double kSliceMs = 12;
// A frame's time: see Load.
constexpr UINT kFirstSliceDelayMs = 16;
// A shortcut file written this recently may still be written to, and a
// file system that keeps write times in whole seconds (FAT keeps two) would
// give the next version the same stamp: it is read again on the next load.
constexpr std::uint64_t kSettledFileTime = 3 * 10'000'000ull;
// How long entries wait for the cache to be read before they come without
// its pictures; a local file of any allowed size is read well within it.
constexpr double kCacheWaitMs = 1000;

std::uint64_t ContentKey(const std::vector<std::uint8_t>& bytes)
{
    return base::Fnv1a(std::span<const std::uint8_t>(bytes)) ^ bytes.size();
}

base::UniqueBitmap BitmapOf(const std::vector<std::uint8_t>& bytes)
{
    SIZE size{};
    return bytes.empty() ? base::UniqueBitmap{} : image::BitmapFromBytes(bytes, size);
}

ShortcutIdentity IdentityOf(const base::ListedFile& file, std::uint32_t codePage)
{
    return {.stamp = {.known = true, .size = file.size, .writeTime = file.writeTime},
            .fileId = file.fileId,
            .codePage = codePage};
}

[[nodiscard]] bool NamedIn(const std::vector<std::wstring>& names, std::wstring_view name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& named) { return SameFileName(named, name); });
}

} // namespace

CatalogueLoader::CatalogueLoader(grouplist::GroupedListControl& list, std::shared_ptr<IconSource> source)
    : m_list(list)
{
    // A message-only window of its own: the worker's news and the slice
    // timer never mix with whoever hosts the list.
    if (!CreateFrom({.name = kLoaderClass}, {.parent = HWND_MESSAGE}))
        return;
    m_worker = std::make_unique<IconWorker>(std::move(source), Handle(), kIconsReadyMessage);
    m_blank = BitmapOf(IconToPicture(nullptr, nullptr, m_pictureSize, m_pictureSize)).release();
}

CatalogueLoader::~CatalogueLoader()
{
    m_worker.reset();
    ReleasePictures();
    grouplist::GroupedListControl::ReleasePicture(m_blank);
}

void CatalogueLoader::Load(const std::wstring& root)
{
    Load(root, ListPlace{});
}

void CatalogueLoader::Load(const std::wstring& root, const ListPlace& place)
{
    ++m_load;
    // The user's reload is also how a share that answers again gets its
    // picture checked.
    m_recheckShares = std::exchange(m_loadedOnce, true);
    if (m_worker)
        m_worker->StartLoad(m_load, m_pictureSize, m_recheckShares);
    m_watch = base::Stopwatch{};
    m_stats = {};
    m_groups.clear();
    m_nextGroup = 0;
    m_expandedGroups.clear();
    m_nextExpanded = 0;
    m_preferredGroup = -1;
    m_placePending = false;
    m_placeEntry.clear();
    m_placeItem = 0;
    m_paths.clear();
    m_pathless.clear();
    m_assignments.clear();
    m_asked = 0;
    m_readAhead.Start({}, nullptr);
    if (!m_list.IsCreated() || !Handle()) {
        m_done = true;
        return;
    }
    (void)m_list.DeleteGroup();
    // Only now: the entries held shares of them until they went.
    ReleasePictures();

    std::optional<CatalogueListing> listing = m_listingAhead.Take(root);
    if (!listing)
        listing = ListCatalogue(root);
    m_listedAt = listing->listedAt;
    m_codePage = ::GetACP();
    // Under a filter every match has a row whatever its group's state.
    const bool openForSelection = !place.selectedEntry.empty() && m_list.FilterText().empty();
    {
        // A thousand groups are one repaint, not a thousand.
        const grouplist::ListUpdate update(m_list);
        for (ListedGroup& listed : listing->groups) {
            const std::wstring& folder = listed.name;
            PendingGroup group;
            group.folder = root + L"\\" + folder;
            // One listing gives both the count and the entries, so "[n]"
            // always matches what the group holds.
            group.files = std::move(listed.files);
            const bool selected = !place.selectedGroup.empty() && SameFileName(folder, place.selectedGroup);
            // A selected entry needs its group open to have a row at all.
            group.expandedAtLoad = NamedIn(place.expandedGroups, folder) || (selected && openForSelection);
            const int count = static_cast<int>(group.files.size());
            group.handle = m_list.AddGroup(folder + L" [" + std::to_wstring(count) + L"]", group.expandedAtLoad, 0,
                                           count, folder);
            if (group.handle == 0)
                continue;
            ++m_stats.groups;
            if (selected && !m_placePending) {
                m_placePending = true;
                m_placeGroup = m_groups.size();
                m_placeEntry = place.selectedEntry;
                m_placeItem = m_placeEntry.empty() ? group.handle : 0;
            }
            if (group.expandedAtLoad)
                m_expandedGroups.push_back(m_groups.size());
            m_groups.push_back(std::move(group));
        }
    }
    SelectPlaceOnceShown();
    m_done = false;
    m_atSliceRate = false;
    // Timers come after paints: the files are read from the first paint on,
    // not against it.
    if (!::SetTimer(Handle(), kReadAheadTimer, USER_TIMER_MINIMUM, nullptr))
        StartReadAhead();
    // The work starts a frame after the groups are painted: a window just
    // shown gets its first frame and the user's first click before it
    // (under Wine, work at the very moment the window appeared has lost a
    // click on it). Not longer: with the cache, the whole list is in, its
    // pictures and all, a few slices later.
    ::SetTimer(Handle(), kSliceTimer, kFirstSliceDelayMs, nullptr);
    CheckDone();
}

void CatalogueLoader::UseIconCache(const std::wstring& file)
{
    if (!m_worker)
        return;
    m_cache = std::make_shared<IconCache>(file);
    m_worker->UseCache(m_cache);
}

void CatalogueLoader::SaveIconCache()
{
    if (!m_cache)
        return;
    // A load still running has not named every path it holds: none is dropped.
    const CacheKeep keep = m_done ? WhatTheCacheKeeps() : CacheKeep{};
    // Quietly: the program works the same without the file.
    (void)m_cache->Save(m_pictureSize, m_done ? &keep : nullptr);
}

CacheKeep CatalogueLoader::WhatTheCacheKeeps() const
{
    CacheKeep keep;
    keep.programs.reserve(m_paths.size());
    for (const auto& [path, known] : m_paths)
        keep.programs.push_back(path);
    for (const PendingGroup& group : m_groups) {
        for (const base::ListedFile& file : group.files)
            keep.shortcuts.push_back(group.folder + L"\\" + file.name);
    }
    return keep;
}

bool CatalogueLoader::TakeCachedPicture(const std::wstring& path, PathPicture& known)
{
    if (!m_cache || !m_cache->IsRead())
        return false;
    const std::optional<CachedPicture> cached = m_cache->Find(path, m_pictureSize);
    if (!cached)
        return false;
    known.picture = PictureFromBytes(*cached->picture);
    known.missing = cached->missing;
    known.cached = true;
    return true;
}

void CatalogueLoader::StartReadAhead()
{
    // Not before: a large cache takes a while to read, and would be read
    // against the window's first paint.
    if (m_worker && m_cache)
        m_worker->ReadCache();
    // In the order the slices take them, unless the user opens a group first.
    std::vector<ShortcutFile> files;
    const auto queue = [&](PendingGroup& group) {
        group.firstSlot = files.size();
        for (const base::ListedFile& file : group.files)
            files.push_back({group.folder + L"\\" + file.name, IdentityOf(file, m_codePage)});
    };
    for (const size_t g : m_expandedGroups)
        queue(m_groups[g]);
    for (PendingGroup& group : m_groups) {
        if (!group.expandedAtLoad)
            queue(group);
    }
    m_readAhead.Start(std::move(files), m_cache);
}

void CatalogueLoader::GroupToggled(int groupHandle)
{
    const auto item = m_list.ReadItem(groupHandle);
    if (!item || !item->IsGroup() || !item->expanded)
        return;
    for (size_t g = 0; g < m_groups.size(); ++g) {
        if (m_groups[g].handle == groupHandle) {
            m_preferredGroup = static_cast<int>(g);
            if (m_worker)
                m_worker->Prefer(WorkerGroup(g));
            return;
        }
    }
}

void CatalogueLoader::SetPictureSize(int pixelSize)
{
    if (pixelSize <= 0 || pixelSize == m_pictureSize)
        return;
    base::UniqueBitmap blank = BitmapOf(IconToPicture(nullptr, nullptr, pixelSize, pixelSize));
    if (!blank)
        return; // GDI refuses: the old size is kept whole rather than half changed
    m_pictureSize = pixelSize;
    // Entries keep their shares of the old blank until their new pictures come.
    grouplist::GroupedListControl::ReleasePicture(m_blank);
    m_blank = blank.release();
    AskAgainForEveryPicture();
}

void CatalogueLoader::AskAgainForEveryPicture()
{
    if (!m_worker || (m_paths.empty() && m_pathless.empty()))
        return;
    // A load of its own: a picture still coming at the old size is dropped.
    ++m_load;
    m_worker->StartLoad(m_load, m_pictureSize, m_recheckShares);
    if (m_preferredGroup >= 0)
        m_worker->Prefer(WorkerGroup(static_cast<size_t>(m_preferredGroup)));
    m_assignments.clear();
    for (const int entry : m_pathless)
        m_assignments.push_back({entry, m_blank, std::nullopt});
    // Entries hold shares of their pictures: these stay on screen until replaced.
    ReleasePictures();
    m_asked = 0;
    for (auto& [path, known] : m_paths) {
        known.picture = nullptr;
        known.waiting = known.entries;
        known.resized = true;
        known.cached = false;
        known.answered = false;
        // Kept from before at this size: shown at once, and only checked.
        if (TakeCachedPicture(path, known)) {
            for (const int entry : known.entries)
                m_assignments.push_back(
                    {entry, known.picture, m_markMissing ? std::optional<bool>(known.missing) : std::nullopt});
            known.waiting = {};
        }
        m_worker->Request(known.group, path);
        ++m_asked;
    }
    m_done = false;
    m_atSliceRate = ::SetTimer(Handle(), kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0;
}

LRESULT CatalogueLoader::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kIconsReadyMessage) {
        TakePictures();
        return 0;
    }
    if (message == WM_TIMER && wParam == kReadAheadTimer) {
        ::KillTimer(Handle(), kReadAheadTimer);
        StartReadAhead();
        return 0;
    }
    if (message == WM_TIMER && wParam == kSliceTimer) {
        if (!m_atSliceRate) // after the first delay
            m_atSliceRate = ::SetTimer(Handle(), kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0;
        // Between two slices only the user (or the host) moves the selection,
        // and then the place's is no longer wanted.
        if (m_placePending && SelectedItem() != m_seenSelection)
            m_placePending = false;
        // No redraw pause here: it hides the list from the mouse (WM_SETREDRAW
        // takes WS_VISIBLE away), and a click landing during a slice would
        // go to the window behind. Rows the slice adds are only invalidated;
        // they paint together once the queue is empty.
        const base::Stopwatch slice;
        AssignSomePictures(slice);
        AddSomeEntries(slice);
        SelectPlaceOnceShown();
        CheckDone();
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

std::optional<size_t> CatalogueLoader::NextGroupToFill()
{
    if (m_preferredGroup >= 0 && !m_groups[static_cast<size_t>(m_preferredGroup)].Whole())
        return static_cast<size_t>(m_preferredGroup);
    while (m_nextExpanded < m_expandedGroups.size() && m_groups[m_expandedGroups[m_nextExpanded]].Whole())
        ++m_nextExpanded;
    if (m_nextExpanded < m_expandedGroups.size())
        return m_expandedGroups[m_nextExpanded];
    // Passes a group only once it is whole, whichever order filled it.
    while (m_nextGroup < m_groups.size() && m_groups[m_nextGroup].Whole())
        ++m_nextGroup;
    if (m_nextGroup < m_groups.size())
        return m_nextGroup;
    return std::nullopt;
}

int CatalogueLoader::WorkerGroup(size_t group) const
{
    // The worker takes its groups in number order: the expanded ones are
    // numbered first, so their pictures come first too.
    return static_cast<int>(m_groups[group].expandedAtLoad ? group : group + m_groups.size());
}

void CatalogueLoader::AddSomeEntries(const base::Stopwatch& slice)
{
    // Read on the worker as the window comes up: a moment's wait beats
    // blank pictures that the cache's replace a moment later.
    if (m_cache && !m_cache->IsRead() && m_watch.ElapsedMs() < kCacheWaitMs)
        return;
    while (slice.ElapsedMs() < kSliceMs) {
        const std::optional<size_t> g = NextGroupToFill();
        if (!g)
            return;
        AddEntry(*g, m_groups[*g].next++);
    }
}

void CatalogueLoader::AddEntry(size_t g, size_t index)
{
    const PendingGroup& group = m_groups[g];
    grouplist::EntryInfo entry;
    entry.groupHandle = group.handle;
    entry.signature = ProgramPathOf(g, index);
    entry.remark = BaseName(group.files[index].name);
    entry.name = L" " + entry.remark;
    entry.online = true;

    PathPicture* known = nullptr;
    if (!entry.signature.empty()) {
        const auto [it, added] = m_paths.try_emplace(entry.signature);
        known = &it->second;
        if (added) {
            known->group = WorkerGroup(g);
            if (TakeCachedPicture(entry.signature, *known))
                ++m_stats.cachedPaths;
        }
        if (added && m_worker) {
            m_worker->Request(WorkerGroup(g), entry.signature);
            ++m_asked;
            ++m_stats.pathsAsked;
        }
    }
    HBITMAP picture = known && known->picture ? known->picture : m_blank;
    // The entry takes a share, as if the bitmap had been handed over.
    grouplist::GroupedListControl::SharePicture(picture);
    entry.avatarPicture = picture;
    static const std::vector<int> noServiceIcons;
    if (m_list.AddEntry(entry, &noServiceIcons) == 0) {
        grouplist::GroupedListControl::ReleasePicture(picture);
        return;
    }
    ++m_stats.entries;
    if (m_placePending && m_placeItem == 0 && g == m_placeGroup && SameFileName(entry.remark, m_placeEntry))
        m_placeItem = entry.handle;
    if (known && known->picture && known->missing && m_markMissing)
        m_markMissing(entry.handle, true);
    if (!known) {
        m_pathless.push_back(entry.handle);
        return;
    }
    known->entries.push_back(entry.handle);
    if (!known->picture)
        known->waiting.push_back(entry.handle);
}

std::wstring CatalogueLoader::ProgramPathOf(size_t g, size_t index)
{
    const PendingGroup& group = m_groups[g];
    const base::ListedFile& listed = group.files[index];
    const std::wstring file = group.folder + L"\\" + listed.name;
    const ShortcutIdentity identity = IdentityOf(listed, m_codePage);
    // The read-ahead reads only what the cache does not hold.
    std::optional<std::wstring> readAhead = m_readAhead.Take(group.firstSlot + index);
    if (!readAhead && m_cache) {
        if (std::optional<std::wstring> kept = m_cache->FindShortcut(file, identity))
            return std::move(*kept);
    }
    std::wstring path = readAhead ? std::move(*readAhead) : ReadShortcutPath(file, m_codePage);
    if (m_cache && !path.empty() && listed.writeTime + kSettledFileTime <= m_listedAt)
        m_cache->StoreShortcut({file, identity, path});
    return path;
}

void CatalogueLoader::TakePictures()
{
    if (!m_worker)
        return;
    for (IconResult& result : m_worker->TakeResults()) {
        if (result.load != m_load)
            continue;
        const auto it = m_paths.find(result.path);
        if (it == m_paths.end() || it->second.answered)
            continue;
        PathPicture& known = it->second;
        known.answered = true;
        --m_asked;
        const bool wasCached = std::exchange(known.cached, false);
        if (result.unchanged && wasCached)
            continue; // what its entries show still holds
        HBITMAP picture = m_blank;
        if (!result.unchanged) {
            picture = PictureFromBytes(result.picture);
        } else if (const auto cached = m_cache ? m_cache->Find(result.path, m_pictureSize) : std::nullopt) {
            // Added before the cache was read: the worker found its picture still holds.
            picture = PictureFromBytes(*cached->picture);
        }
        const HBITMAP shown = known.picture;
        known.picture = picture;
        known.missing = result.missing;
        // Entries showing the cache's picture all take a changed one, blank or not.
        const bool newPicture = wasCached ? picture != shown : (picture != m_blank || known.resized);
        // Asked again, the entries may carry a mark the new answer takes away.
        const bool mark = m_markMissing && (result.missing || known.resized || wasCached);
        if (newPicture || mark) {
            for (const int entry : wasCached ? known.entries : known.waiting)
                m_assignments.push_back({entry, newPicture ? picture : nullptr,
                                         mark ? std::optional<bool>(result.missing) : std::nullopt});
        }
        known.waiting = {};
    }
    m_stats.sourceMs = m_worker->SourceMs();
    CheckDone();
}

HBITMAP CatalogueLoader::PictureFromBytes(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
        return m_blank;
    const std::uint64_t key = ContentKey(bytes);
    if (const auto it = m_pictures.find(key); it != m_pictures.end())
        return it->second;
    base::UniqueBitmap bitmap = BitmapOf(bytes);
    if (!bitmap)
        return m_blank;
    ++m_stats.pictures;
    return m_pictures[key] = bitmap.release();
}

void CatalogueLoader::AssignSomePictures(const base::Stopwatch& slice)
{
    while (!m_assignments.empty() && slice.ElapsedMs() < kSliceMs) {
        const Assignment next = m_assignments.front();
        m_assignments.pop_front();
        if (next.picture)
            (void)m_list.SetEntryPicture(next.entry, next.picture);
        if (next.missing && m_markMissing)
            m_markMissing(next.entry, *next.missing);
    }
}

void CatalogueLoader::ReleasePictures()
{
    for (const auto& [key, picture] : m_pictures)
        grouplist::GroupedListControl::ReleasePicture(picture);
    m_pictures.clear();
}

void CatalogueLoader::CheckDone()
{
    if (m_done || m_nextGroup < m_groups.size() || m_asked > 0 || !m_assignments.empty())
        return;
    // Entries of a preferred group may all be in while earlier groups wait;
    // m_nextGroup only passes a group once it is whole.
    m_done = true;
    m_stats.iconsDoneMs = m_watch.ElapsedMs();
    if (m_cache && m_worker)
        m_worker->SaveCache(m_pictureSize, WhatTheCacheKeeps());
    // Whatever the place named has not come: it is not there (or not shown).
    m_placePending = false;
    ::KillTimer(Handle(), kSliceTimer);
}

int CatalogueLoader::SelectedItem() const
{
    const int row = m_list.SelectedRow();
    return row >= 0 ? m_list.GetHandleAtRow(row) : 0;
}

void CatalogueLoader::SelectPlaceOnceShown()
{
    if (m_placePending && m_placeItem != 0) {
        const std::optional<grouplist::ItemRecord> item = m_list.ReadItem(m_placeItem);
        if (item && item->rowIndex >= 0) {
            (void)m_list.SelectItem(m_placeItem);
            m_placePending = false;
        }
    }
    m_seenSelection = SelectedItem();
}

ListPlace CatalogueLoader::CurrentPlace() const
{
    ListPlace place;
    // The control's own index: groups in row order without a walk of its document.
    const grouplist::ListInstance* instance = grouplist::FindInstance(m_list.GetWindowHandle());
    if (!instance)
        return place;
    const bool filtering = !instance->filter.text.empty();
    for (const grouplist::ItemIndex::Group& group : instance->index.Groups()) {
        const std::optional<grouplist::ItemRecord> item = m_list.ReadItem(group.handle);
        if (!item || item->remark.empty())
            continue;
        bool expanded = item->expanded;
        // A filter shows every group open; what counts is what it gives back.
        if (const auto before = instance->filter.expandedBefore.find(group.handle);
            filtering && before != instance->filter.expandedBefore.end())
            expanded = before->second;
        if (expanded)
            place.expandedGroups.push_back(item->remark);
    }
    const int selected = SelectedItem();
    if (const std::optional<ShortcutRef> shortcut = ShortcutOf(m_list, selected)) {
        place.selectedGroup = shortcut->group;
        place.selectedEntry = shortcut->name;
    } else if (std::optional<std::wstring> folder = GroupFolderOf(m_list, selected)) {
        place.selectedGroup = std::move(*folder);
    }
    return place;
}

bool LaunchEntry(grouplist::GroupedListControl& list, int handle, ProgramLauncher& launcher)
{
    const std::optional<grouplist::ItemRecord> entry = list.ReadItem(handle);
    if (!entry || entry->IsGroup() || entry->signature.empty())
        return false; // no such item, a group, or a shortcut without a path
    return launcher.Open(entry->signature, DirectoryOf(entry->signature));
}

std::optional<ShortcutRef> ShortcutOf(grouplist::GroupedListControl& list, int entryHandle)
{
    const std::optional<grouplist::ItemRecord> entry = list.ReadItem(entryHandle);
    if (!entry || entry->IsGroup() || entry->remark.empty())
        return std::nullopt;
    std::optional<std::wstring> group = GroupFolderOf(list, entry->groupHandle);
    if (!group)
        return std::nullopt;
    return ShortcutRef{std::move(*group), entry->remark, entry->signature};
}

std::optional<std::wstring> GroupFolderOf(grouplist::GroupedListControl& list, int groupHandle)
{
    const std::optional<grouplist::ItemRecord> group = list.ReadItem(groupHandle);
    if (!group || !group->IsGroup() || group->remark.empty())
        return std::nullopt;
    return group->remark;
}

int ShortcutCount(grouplist::GroupedListControl& list, int groupHandle)
{
    const std::optional<grouplist::ItemRecord> group = list.ReadItem(groupHandle);
    return group && group->IsGroup() && !group->remark.empty() ? group->value : 0;
}

std::vector<int> EntriesOf(grouplist::GroupedListControl& list, int groupHandle)
{
    const grouplist::ListInstance* instance = grouplist::FindInstance(list.GetWindowHandle());
    const grouplist::ItemIndex::Group* group = instance ? instance->index.FindGroup(groupHandle) : nullptr;
    return group ? group->entries : std::vector<int>{};
}

} // namespace catalogue
