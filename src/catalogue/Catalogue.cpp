#include "catalogue/Catalogue.h"

#include "base/AppMessages.h"
#include "catalogue/CatalogueFolder.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/ProgramIcons.h"
#include "image/PictureHelpers.h"

namespace catalogue {

namespace {

constexpr wchar_t kLoaderClass[] = L"QuilleryCatalogueLoader";
constexpr UINT_PTR kSliceTimer = 1;
// A slice of work between two looks at the queue: short enough that input
// and paint never wait long for it.
constexpr double kSliceMs = 12;
constexpr UINT kFirstSliceDelayMs = 150;

std::uint64_t ContentKey(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const std::uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return hash ^ bytes.size();
}

base::UniqueBitmap BitmapOf(const std::vector<std::uint8_t>& bytes)
{
    SIZE size{};
    return bytes.empty() ? base::UniqueBitmap{} : image::BitmapFromBytes(bytes, size);
}

} // namespace

CatalogueLoader::CatalogueLoader(grouplist::GroupedListControl& list, std::shared_ptr<IconSource> source)
    : m_list(list)
{
    // A message-only window of its own: the worker's news and the slice
    // timer never mix with whoever hosts the list.
    if (!CreateFrom({.name = kLoaderClass}, {.parent = HWND_MESSAGE}))
        return;
    m_worker = std::make_unique<IconWorker>(std::move(source), Handle(), base::kIconsReadyMessage);
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
    ++m_load;
    if (m_worker)
        m_worker->StartLoad(m_load, m_pictureSize);
    m_watch = base::Stopwatch{};
    m_stats = {};
    m_groups.clear();
    m_nextGroup = 0;
    m_preferredGroup = -1;
    m_paths.clear();
    m_pathless.clear();
    m_assignments.clear();
    m_asked = 0;
    if (!m_list.IsCreated() || !Handle()) {
        m_done = true;
        return;
    }
    (void)m_list.DeleteGroup();
    // Only now: the entries held shares of them until they went.
    ReleasePictures();

    {
        // A thousand groups are one repaint, not a thousand.
        const grouplist::ListUpdate update(m_list);
        for (const std::wstring& folder : GroupFolders(root)) {
            PendingGroup group;
            group.folder = root + L"\\" + folder;
            // One listing gives both the count and the entries, so "[n]"
            // always matches what the group holds.
            group.files = FilesWithExtension(group.folder, kShortcutExtension);
            group.handle = m_list.AddGroup(folder + L" [" + std::to_wstring(group.files.size()) + L"]", false, 0, 0,
                                           L"");
            if (group.handle == 0)
                continue;
            ++m_stats.groups;
            m_groups.push_back(std::move(group));
        }
    }
    m_done = false;
    m_atSliceRate = false;
    // The work starts a moment after the groups are painted: a window just
    // shown gets its first frames and the user's first click before it
    // (under Wine, work in that moment has lost a click on the new window).
    ::SetTimer(Handle(), kSliceTimer, kFirstSliceDelayMs, nullptr);
    CheckDone();
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
                m_worker->Prefer(m_preferredGroup);
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
    m_worker->StartLoad(m_load, m_pictureSize);
    if (m_preferredGroup >= 0)
        m_worker->Prefer(m_preferredGroup);
    m_assignments.clear();
    for (const int entry : m_pathless)
        m_assignments.push_back({entry, m_blank});
    // Entries hold shares of their pictures: these stay on screen until replaced.
    ReleasePictures();
    m_asked = 0;
    for (auto& [path, known] : m_paths) {
        known.picture = nullptr;
        known.waiting = known.entries;
        known.resized = true;
        m_worker->Request(known.group, path);
        ++m_asked;
    }
    m_done = false;
    m_atSliceRate = ::SetTimer(Handle(), kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0;
}

LRESULT CatalogueLoader::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == base::kIconsReadyMessage) {
        TakePictures();
        return 0;
    }
    if (message == WM_TIMER && wParam == kSliceTimer) {
        if (!m_atSliceRate) // after the first delay
            m_atSliceRate = ::SetTimer(Handle(), kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0;
        // No redraw pause here: it hides the list from the mouse (WM_SETREDRAW
        // takes WS_VISIBLE away), and a click landing during a slice would
        // go to the window behind. Rows the slice adds are only invalidated;
        // they paint together once the queue is empty.
        const base::Stopwatch slice;
        AssignSomePictures(slice);
        AddSomeEntries(slice);
        CheckDone();
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

void CatalogueLoader::AddSomeEntries(const base::Stopwatch& slice)
{
    while (slice.ElapsedMs() < kSliceMs) {
        size_t g = m_nextGroup;
        if (m_preferredGroup >= 0) {
            const PendingGroup& preferred = m_groups[static_cast<size_t>(m_preferredGroup)];
            if (preferred.next < preferred.files.size())
                g = static_cast<size_t>(m_preferredGroup);
        }
        while (g == m_nextGroup && m_nextGroup < m_groups.size() &&
               m_groups[m_nextGroup].next == m_groups[m_nextGroup].files.size())
            g = ++m_nextGroup;
        if (g >= m_groups.size())
            return;
        PendingGroup& group = m_groups[g];
        AddEntry(g, group.files[group.next++]);
    }
}

void CatalogueLoader::AddEntry(size_t g, const std::wstring& file)
{
    const PendingGroup& group = m_groups[g];
    grouplist::EntryInfo entry;
    entry.groupHandle = group.handle;
    entry.signature = ReadShortcutPath(group.folder + L"\\" + file, CP_ACP);
    entry.name = L" " + BaseName(file);
    entry.online = true;

    PathPicture* known = nullptr;
    if (!entry.signature.empty()) {
        const auto [it, added] = m_paths.try_emplace(entry.signature);
        known = &it->second;
        if (added)
            known->group = static_cast<int>(g);
        if (added && m_worker) {
            m_worker->Request(static_cast<int>(g), entry.signature);
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
    if (!known) {
        m_pathless.push_back(entry.handle);
        return;
    }
    known->entries.push_back(entry.handle);
    if (!known->picture)
        known->waiting.push_back(entry.handle);
}

void CatalogueLoader::TakePictures()
{
    if (!m_worker)
        return;
    for (IconResult& result : m_worker->TakeResults()) {
        if (result.load != m_load)
            continue;
        const auto it = m_paths.find(result.path);
        if (it == m_paths.end() || it->second.picture)
            continue;
        HBITMAP picture = PictureFromBytes(result.picture);
        it->second.picture = picture;
        if (picture != m_blank || it->second.resized) {
            for (const int entry : it->second.waiting)
                m_assignments.push_back({entry, picture});
        }
        it->second.waiting = {};
        --m_asked;
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
        (void)m_list.SetEntryPicture(next.entry, next.picture);
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
    ::KillTimer(Handle(), kSliceTimer);
}

bool LaunchEntry(grouplist::GroupedListControl& list, int handle, ProgramLauncher& launcher)
{
    const std::optional<grouplist::ItemRecord> entry = list.ReadItem(handle);
    if (!entry || entry->IsGroup() || entry->signature.empty())
        return false; // no such item, a group, or a shortcut without a path
    return launcher.Open(entry->signature, DirectoryOf(entry->signature));
}

} // namespace catalogue
