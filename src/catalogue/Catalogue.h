#pragma once
// Filling the shortcut list from the catalogue folders, and starting the
// program behind an entry.

#include "base/FolderListing.h"
#include "base/Stopwatch.h"
#include "base/Window.h"
#include "catalogue/CatalogueListing.h"
#include "catalogue/IconCache.h"
#include "catalogue/IconWorker.h"
#include "catalogue/ProgramIcons.h"
#include "catalogue/ProgramLauncher.h"
#include "catalogue/ShortcutReadAhead.h"
#include "grouplist/GroupedListControl.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace catalogue {

// How a load went; for tests and measuring, not needed to load.
struct LoadStats {
    int groups = 0;
    int entries = 0;
    int pathsAsked = 0;      // distinct program paths handed to the worker
    int cachedPaths = 0;     // of them, those whose entries came with the cache's picture
    int pictures = 0;        // distinct pictures made from what it gave
    double sourceMs = 0;     // time spent in the icon source
    double iconsDoneMs = 0;  // from the load's start to its last picture in place
};

// Where the user is in the list, by the names the file system gives, so it
// survives a reload (and a rename, with the new name put in). Names compare
// as the file system compares them, without regard to case.
struct ListPlace {
    std::vector<std::wstring> expandedGroups; // folder names
    std::wstring selectedGroup;               // folder name; empty: nothing selected
    std::wstring selectedEntry;               // shortcut base name; empty: the group row itself
};

// Fills a list from the catalogue: one group per folder under the root,
// named "folder [n]" with n its shortcut files, each holding one entry per
// shortcut: " name", the program's picture, the program path as signature.
// The group keeps its folder's name as its remark and n as its value; the
// entry its file's base name as its remark (see ShortcutOf).
//
// The groups appear at once; the entries follow in short slices on a timer,
// so the window paints and answers in between (their shortcut files read
// ahead on a thread from the first paint on), and their pictures come from
// a worker thread and are put in place (and their rows repainted) as they
// arrive. Groups added expanded go first for both, and a group the user
// expands before them. Within a load each program path is asked for once,
// and entries with identical pictures share one bitmap. Pictures are made at the picture size (32 x 32 until told
// otherwise); a new size asks for every picture again, and entries show
// their old ones until the new ones come.
//
// With an icon cache, an entry whose path has a picture there gets it as it
// is added, and the worker only checks that it still holds; a shortcut file
// unchanged since it was last read is not read again. The first load
// leaves paths on shares unchecked; later ones (reloads) check them last.
class CatalogueLoader final : private base::Window {
public:
    explicit CatalogueLoader(grouplist::GroupedListControl& list,
                             std::shared_ptr<IconSource> source = std::make_shared<ShellIconSource>());
    ~CatalogueLoader() override;

    // Empties the list and starts filling it from root, every group
    // collapsed and nothing selected. Whatever a load still running had to
    // do is dropped: nothing of it reaches the new list.
    void Load(const std::wstring& root);
    // The same, back at a place: its groups (and, with no filter on, the
    // group of its selected entry) added expanded, and its item selected, scrolled into sight, as
    // soon as it has a row, unless the user has selected another row by
    // then. A filter the list holds stays, and so does the state each group
    // gets back when it ends.
    void Load(const std::wstring& root, const ListPlace& place);
    // The place as the list stands: groups expanded as the user left them
    // (under a filter, as they will be when it ends) and the selected row.
    [[nodiscard]] ListPlace CurrentPlace() const;
    // Told, in the slices that put pictures in place, whether each entry's
    // program is gone (IsMissingProgram, asked by the worker); an entry only
    // hears "false" when an earlier answer may have marked it. None: nobody.
    using MissingMarker = std::function<void(int entryHandle, bool missing)>;
    void SetMissingMarker(MissingMarker marker) { m_markMissing = std::move(marker); }
    // Keeps pictures and shortcut files' program paths between starts in
    // `file`. It is read on the worker from the first load's first paint
    // on; that load's entries wait for it briefly. Written when a load's
    // pictures are all in and something changed, without the paths and
    // shortcut files the load no longer has and pictures of other sizes.
    void UseIconCache(const std::wstring& file);
    // The next load of the listing's root takes it rather than listing the
    // catalogue itself (the program's first load, listed while its window
    // was being made).
    void UseListingAhead(ListingAhead listing) { m_listingAhead = std::move(listing); }
    // Writes the cache now if anything changed (for the program's close).
    void SaveIconCache();
    // To be called when the user has expanded (or collapsed) a group.
    void GroupToggled(int groupHandle);
    // The side of the pictures in pixels: kIconPictureSize scaled to the
    // list's DPI. Entries still waiting show a blank picture of this size.
    void SetPictureSize(int pixelSize);
    [[nodiscard]] int PictureSize() const { return m_pictureSize; }

    // Every entry added and every picture in place.
    [[nodiscard]] bool Done() const { return m_done; }
    [[nodiscard]] const LoadStats& Stats() const { return m_stats; }

private:
    struct PendingGroup {
        int handle = 0;
        std::wstring folder;
        std::vector<base::ListedFile> files;
        size_t next = 0;      // the first file not yet an entry
        size_t firstSlot = 0; // its first file's slot in the read-ahead
        bool expandedAtLoad = false;
        [[nodiscard]] bool Whole() const { return next == files.size(); }
    };
    struct PathPicture {
        HBITMAP picture = nullptr;    // not owned (m_pictures or m_blank); null while asked
        bool missing = false;         // the answer that came with the picture
        int group = 0;                // the group that first asked (index into m_groups), for the worker
        std::vector<int> entries;     // every entry of this path
        std::vector<int> waiting;     // entries still showing a blank or an old-size picture
        bool resized = false;         // asked again at a new size: even a blank answer replaces
        bool cached = false;          // showing the cache's picture, not yet confirmed by the worker
        bool answered = false;        // the worker's answer for this load came
    };

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    [[nodiscard]] std::optional<size_t> NextGroupToFill();
    [[nodiscard]] int WorkerGroup(size_t group) const;
    void AddSomeEntries(const base::Stopwatch& slice);
    void AddEntry(size_t group, size_t file);
    [[nodiscard]] std::wstring ProgramPathOf(size_t group, size_t file);
    void StartReadAhead();
    void TakePictures();
    void AssignSomePictures(const base::Stopwatch& slice);
    [[nodiscard]] HBITMAP PictureFromBytes(const std::vector<std::uint8_t>& bytes);
    [[nodiscard]] bool TakeCachedPicture(const std::wstring& path, PathPicture& known);
    [[nodiscard]] CacheKeep WhatTheCacheKeeps() const;
    void ReleasePictures();
    void AskAgainForEveryPicture();
    void CheckDone();
    [[nodiscard]] int SelectedItem() const;
    void SelectPlaceOnceShown();

    grouplist::GroupedListControl& m_list;
    MissingMarker m_markMissing;
    std::unique_ptr<IconWorker> m_worker;
    ShortcutReadAhead m_readAhead;
    ListingAhead m_listingAhead;
    std::shared_ptr<IconCache> m_cache; // none: every picture is asked for
    bool m_loadedOnce = false;          // a load has started: the next ones are reloads
    bool m_recheckShares = false;       // this load checks the paths on shares
    // Shown until an entry's picture comes, and for programs without one.
    // Entries share it, so it goes with ReleasePicture, never on its own.
    HBITMAP m_blank = nullptr;
    int m_pictureSize = kIconPictureSize;
    int m_load = 0;
    bool m_done = true;
    bool m_atSliceRate = false; // the timer ticks at the slice rate, past its first delay
    LoadStats m_stats;
    base::Stopwatch m_watch; // from the load's start
    std::uint64_t m_listedAt = 0; // the system time of the load's listing, in FILETIME units
    // The shortcut files' text outside the UTFs: the system code page by its
    // number, not CP_ACP, so a cache written under another never matches.
    std::uint32_t m_codePage = 0;

    std::vector<PendingGroup> m_groups;
    size_t m_nextGroup = 0;     // the first group with files not yet entries
    std::vector<size_t> m_expandedGroups; // added expanded, in group order
    size_t m_nextExpanded = 0;  // the first of them with files not yet entries
    int m_preferredGroup = -1;  // index into m_groups

    // The place's selection, until it is shown or the user chooses another.
    bool m_placePending = false;
    size_t m_placeGroup = 0;    // index into m_groups
    std::wstring m_placeEntry;  // empty: the group row
    int m_placeItem = 0;        // its handle, once added
    int m_seenSelection = 0;    // the selected item as the loader last left it

    std::unordered_map<std::wstring, PathPicture> m_paths;
    std::vector<int> m_pathless; // entries without a program path: blank for good
    std::unordered_map<std::uint64_t, HBITMAP> m_pictures; // by content; this load's own share of each
    int m_asked = 0;            // paths asked for and not yet answered
    struct Assignment {
        int entry = 0;
        HBITMAP picture = nullptr;   // not owned; null: the entry keeps the one it shows
        std::optional<bool> missing; // none: the entry's mark stays as it is
    };
    std::deque<Assignment> m_assignments; // pictures come, entries not yet showing them
};

// Starts the program of the entry `handle` names, if it is an entry with a
// path. The list's double-click names the row under the pointer, which need
// not be the selected one. Nobody is told when it cannot start; the result
// is for callers that care.
[[nodiscard]] bool LaunchEntry(grouplist::GroupedListControl& list, int handle, ProgramLauncher& launcher);

// Where the items a loader put in the list live on disk. Other items (and
// handles that name none) give nothing.
struct ShortcutRef {
    std::wstring group; // folder name
    std::wstring name;  // file base name
    std::wstring path;  // program path
};
[[nodiscard]] std::optional<ShortcutRef> ShortcutOf(grouplist::GroupedListControl& list, int entryHandle);
[[nodiscard]] std::optional<std::wstring> GroupFolderOf(grouplist::GroupedListControl& list, int groupHandle);
// The shortcut files the group's folder held when it was loaded (its entries
// may still be coming); 0 for anything else.
[[nodiscard]] int ShortcutCount(grouplist::GroupedListControl& list, int groupHandle);
// The group's entries so far, in list order, whether or not they have rows.
[[nodiscard]] std::vector<int> EntriesOf(grouplist::GroupedListControl& list, int groupHandle);

} // namespace catalogue
