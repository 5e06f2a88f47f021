// The loader on a real list with a stand-in picture source: groups at once,
// entries and pictures after, the expanded group first, reloads that cut in,
// and a source that never answers.

#include "catalogue/BackgroundLauncher.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueEdits.h"
#include "catalogue/IconCacheFormat.h"

#include "base/PathParts.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "grouplist/ListFixture.h"

#include "FileAge.h"
#include "GdiCount.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A picture of one colour per program path, optionally slow or held shut
// until released; remembers the order it was asked in.
class ColourSource final : public catalogue::IconSource {
public:
    explicit ColourSource(std::map<std::wstring, COLORREF> colours, DWORD delayMs = 0)
        : m_colours(std::move(colours)), m_delayMs(delayMs)
    {
    }
    ~ColourSource() override { ::CloseHandle(m_open); }

    std::vector<std::uint8_t> PictureFor(const std::wstring& path, int pixelSize) override
    {
        {
            const std::lock_guard hold(m_lock);
            m_asked.push_back(path);
            m_sizes.push_back(pixelSize);
        }
        ::WaitForSingleObject(m_open, INFINITE);
        ::Sleep(m_delayMs);
        const auto it = m_colours.find(path);
        return it == m_colours.end() ? std::vector<std::uint8_t>{}
                                     : testing_support::SolidBmp(pixelSize, pixelSize, it->second);
    }
    void Hold() { ::ResetEvent(m_open); }
    void Release() { ::SetEvent(m_open); }
    std::vector<std::wstring> Asked()
    {
        const std::lock_guard hold(m_lock);
        return m_asked;
    }
    std::vector<int> SizesAsked()
    {
        const std::lock_guard hold(m_lock);
        return m_sizes;
    }

private:
    std::map<std::wstring, COLORREF> m_colours;
    DWORD m_delayMs;
    HANDLE m_open = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
    std::mutex m_lock;
    std::vector<std::wstring> m_asked;
    std::vector<int> m_sizes;
};

COLORREF CentreColour(HBITMAP bitmap)
{
    const base::UniqueMemoryDc dc = base::CreateMemoryDc();
    const base::SelectGuard select(dc.get(), bitmap);
    return ::GetPixel(dc.get(), 16, 16);
}

class CatalogueLoaderTest : public testing_support::ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        ASSERT_TRUE(::CreateDirectoryW(m_root.c_str(), nullptr));
    }

    void Shortcut(const std::wstring& group, const std::wstring& name, const std::wstring& path) const
    {
        (void)::CreateDirectoryW((m_root + L"\\" + group).c_str(), nullptr);
        ASSERT_TRUE(base::WriteFileAtomic(m_root + L"\\" + group + L"\\" + name + L".txt",
                                          base::EncodeFileText(path, CP_ACP)));
    }

    template <typename Condition>
    bool PumpUntil(Condition done, DWORD patienceMs = 20000)
    {
        const DWORD deadline = ::GetTickCount() + patienceMs;
        while (!done()) {
            if (static_cast<LONG>(deadline - ::GetTickCount()) <= 0)
                return false;
            Pump();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return true;
    }

    // Every entry: name, signature and the colour its picture shows.
    struct Shown {
        std::wstring signature;
        COLORREF colour = 0;
        HBITMAP picture = nullptr;
    };
    std::map<std::wstring, Shown> Entries()
    {
        std::map<std::wstring, Shown> entries;
        m_control.ExpandAllGroups();
        for (const int handle : Rows()) {
            grouplist::EntryInfo info;
            if (m_control.GetEntryInfo(handle, info) && !m_control.ReadItem(handle)->IsGroup())
                entries[info.name] = {info.signature, CentreColour(info.avatarPicture), info.avatarPicture};
        }
        m_control.CollapseAllGroups();
        return entries;
    }

    testing_support::TempFolder m_temp;
    std::wstring m_root = m_temp.Path() + L"\\Favorites";
};

constexpr COLORREF kWhite = RGB(255, 255, 255);

} // namespace

TEST_F(CatalogueLoaderTest, GroupsShowAtOnceThenEntriesAndPicturesWithTheExpandedGroupFirst)
{
    Shortcut(L"a", L"a1", L"C:\\a1.exe");
    Shortcut(L"a", L"a2", L"C:\\same.exe");
    Shortcut(L"b", L"b1", L"C:\\b1.exe");
    Shortcut(L"b", L"b2", L"C:\\same.exe");
    Shortcut(L"b", L"b3", L"C:\\twin.exe");
    Shortcut(L"c", L"c1", L"C:\\c1.exe");
    Shortcut(L"c", L"c2", L"C:\\none.exe");
    const auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{
        {L"C:\\a1.exe", RGB(200, 0, 0)},
        {L"C:\\same.exe", RGB(0, 200, 0)},
        {L"C:\\b1.exe", RGB(0, 0, 200)},
        {L"C:\\twin.exe", RGB(0, 0, 200)}, // the same picture as b1's
        {L"C:\\c1.exe", RGB(200, 200, 0)},
    });
    source->Hold();
    catalogue::CatalogueLoader loader(m_control, source);

    loader.Load(m_root);
    // Before any message is handled: the groups and their counts, nothing else.
    std::map<std::wstring, int> groups;
    for (const int handle : Rows())
        groups[m_control.GetGroupName(handle)] = handle;
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_TRUE(groups.count(L"a [2]") && groups.count(L"b [3]") && groups.count(L"c [2]"));
    EXPECT_EQ(loader.Stats().entries, 0);
    EXPECT_FALSE(loader.Done());

    // The user opens c: its entries come first, and so do its pictures.
    m_control.ExpandGroup(groups[L"c [2]"]);
    loader.GroupToggled(groups[L"c [2]"]);
    ASSERT_TRUE(PumpUntil([&] { return loader.Stats().entries == 7; }));
    EXPECT_EQ(Rows().size(), 5u) << "c shows its two entries";
    EXPECT_FALSE(loader.Done()) << "no picture has come yet";
    source->Release();
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));

    const std::vector<std::wstring> asked = source->Asked();
    ASSERT_EQ(asked.size(), 6u) << "each path once";
    EXPECT_TRUE((asked[0] == L"C:\\c1.exe" && asked[1] == L"C:\\none.exe") ||
                (asked[0] == L"C:\\none.exe" && asked[1] == L"C:\\c1.exe"))
        << "the expanded group was not first";

    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries.at(L" a1").colour, RGB(200, 0, 0));
    EXPECT_EQ(entries.at(L" c1").colour, RGB(200, 200, 0));
    EXPECT_EQ(entries.at(L" c2").colour, kWhite) << "no picture: a blank one";
    EXPECT_EQ(entries.at(L" b3").signature, L"C:\\twin.exe");
    // One bitmap per picture: by path, and by content across paths.
    EXPECT_EQ(entries.at(L" a2").picture, entries.at(L" b2").picture);
    EXPECT_EQ(entries.at(L" b1").picture, entries.at(L" b3").picture);
    EXPECT_EQ(entries.at(L" b2").colour, RGB(0, 200, 0));
    EXPECT_EQ(loader.Stats().pictures, 4);
}

TEST_F(CatalogueLoaderTest, AReloadWhilePicturesComeShowsNoPictureOnAWrongEntryAndLeaksNothing)
{
    const auto pathOf = [](int round, int i) {
        return L"C:\\r" + std::to_wstring(round) + L"\\p" + std::to_wstring(i) + L".exe";
    };
    std::map<std::wstring, COLORREF> colours;
    for (int round = 0; round < 6; ++round)
        for (int i = 0; i < 8; ++i)
            colours[pathOf(round, i)] = RGB(10 * i, 20 * round, 100);
    // The same entry names each round, each pointing somewhere else.
    const auto write = [&](int round) {
        for (int i = 0; i < 8; ++i)
            Shortcut(L"g", L"e" + std::to_wstring(i), pathOf(round, i));
    };
    const auto source = std::make_shared<ColourSource>(colours, 15);
    catalogue::CatalogueLoader loader(m_control, source);

    write(0);
    loader.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    const int gdiBefore = testing_support::LiveGdiObjects();
    for (int round = 1; round < 6; ++round) {
        write(round);
        const size_t asked = source->Asked().size();
        loader.Load(m_root);
        if (round < 5) {
            // Cut in while the pictures of this load are coming.
            ASSERT_TRUE(PumpUntil([&] { return source->Asked().size() >= asked + 3; }));
            EXPECT_FALSE(loader.Done());
        }
    }
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(loader.Stats().pathsAsked, 8);

    for (const auto& [name, shown] : Entries())
        EXPECT_EQ(shown.colour, colours.at(shown.signature)) << "a wrong picture on" << base::ToUtf8(name);
    Pump();
    EXPECT_LE(testing_support::LiveGdiObjects(), gdiBefore);
}

TEST_F(CatalogueLoaderTest, ASourceOrALauncherThatNeverAnswersLeavesTheWindowAnswering)
{
    const std::wstring dead = L"\\\\192.0.2.1\\gone\\app.exe";
    Shortcut(L"网络", L"app", dead);
    const auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{{dead, RGB(1, 2, 3)}});
    source->Hold();
    auto loader = std::make_unique<catalogue::CatalogueLoader>(m_control, source);
    loader->Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return loader->Stats().entries == 1 && source->Asked().size() == 1; }));

    // Another thread asks the window while the source hangs.
    std::atomic<bool> answered = false;
    std::thread asker([&] {
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutW(m_host, WM_NULL, 0, 0, SMTO_NORMAL, 100, &result) != 0;
    });
    ASSERT_TRUE(PumpUntil([&] { return answered.load(); }, 500));
    asker.join();
    EXPECT_EQ(Entries().at(L" app").colour, kWhite) << "blank until its picture comes";
    EXPECT_FALSE(loader->Done());

    // A launcher stuck the same way: Open is back at once.
    class StuckLauncher final : public catalogue::ProgramLauncher {
    public:
        bool Open(const std::wstring& path, const std::wstring&) override
        {
            opened = path;
            ::SetEvent(entered);
            ::WaitForSingleObject(release, INFINITE);
            return true;
        }
        std::wstring opened;
        HANDLE entered = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    };
    const auto stuck = std::make_shared<StuckLauncher>();
    catalogue::BackgroundLauncher launcher(stuck);
    const int app = m_control.FindEntryByName(L" app");
    const DWORD before = ::GetTickCount();
    EXPECT_TRUE(catalogue::LaunchEntry(m_control, app, launcher));
    EXPECT_LT(::GetTickCount() - before, 100u);
    ASSERT_EQ(::WaitForSingleObject(stuck->entered, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(stuck->opened, dead);
    ::SetEvent(stuck->release);

    // Leaving does not wait for the source either.
    const DWORD leaving = ::GetTickCount();
    loader.reset();
    EXPECT_LT(::GetTickCount() - leaving, 3000u);
    source->Release();
}

TEST_F(CatalogueLoaderTest, ANewPictureSizeReplacesEveryPictureEvenMidLoadAndLeaksNothing)
{
    Shortcut(L"a", L"a1", L"C:\\a1.exe");
    Shortcut(L"a", L"a2", L"C:\\same.exe");
    Shortcut(L"b", L"b1", L"C:\\same.exe");
    Shortcut(L"b", L"none", L"C:\\none.exe");
    Shortcut(L"b", L"pathless", L"");
    const auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{
        {L"C:\\a1.exe", RGB(200, 0, 0)},
        {L"C:\\same.exe", RGB(0, 200, 0)},
    });
    catalogue::CatalogueLoader loader(m_control, source);
    EXPECT_EQ(loader.PictureSize(), 32);
    const auto expectAll = [&](int size) {
        const auto entries = Entries();
        ASSERT_EQ(entries.size(), 5u);
        for (const auto& [name, shown] : entries) {
            BITMAP bm{};
            ASSERT_TRUE(::GetObjectW(shown.picture, sizeof bm, &bm)) << base::ToUtf8(name);
            EXPECT_EQ(bm.bmWidth, size) << base::ToUtf8(name);
            EXPECT_EQ(bm.bmHeight, size) << base::ToUtf8(name);
        }
        EXPECT_EQ(entries.at(L" a1").colour, RGB(200, 0, 0));
        EXPECT_EQ(entries.at(L" b1").colour, RGB(0, 200, 0));
        EXPECT_EQ(entries.at(L" a2").picture, entries.at(L" b1").picture);
        EXPECT_EQ(entries.at(L" none").colour, kWhite);
        EXPECT_EQ(entries.at(L" pathless").colour, kWhite);
    };

    // Cut in while the pictures are coming at 32: none of those lands.
    source->Hold();
    loader.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return loader.Stats().entries == 5 && !source->Asked().empty(); }));
    loader.SetPictureSize(64);
    source->Release();
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(loader.PictureSize(), 64);
    expectAll(64);
    const int gdiBefore = testing_support::LiveGdiObjects();

    // After the load: every path asked once more, at the new size.
    const size_t asked = source->Asked().size();
    loader.SetPictureSize(48);
    EXPECT_FALSE(loader.Done());
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    expectAll(48);
    const std::vector<int> sizes = source->SizesAsked();
    EXPECT_EQ(sizes.size(), asked + 3) << "a1, same and none again";
    EXPECT_TRUE(std::all_of(sizes.begin() + static_cast<std::ptrdiff_t>(asked), sizes.end(),
                            [](int size) { return size == 48; }));

    loader.SetPictureSize(64);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    expectAll(64);
    Pump();
    EXPECT_LE(testing_support::LiveGdiObjects(), gdiBefore);
}

namespace {

// Counts rows added to the list while it is drawing.
struct AddWatch {
    static inline WNDPROC previous = nullptr;
    static inline bool drawing = true;
    static inline int addsWhileDrawing = 0;
    static inline int adds = 0;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SETREDRAW)
            drawing = wParam != FALSE;
        if (message == LB_ADDSTRING || message == LB_INSERTSTRING) {
            ++adds;
            addsWhileDrawing += drawing;
        }
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
};

} // namespace

TEST_F(CatalogueLoaderTest, AThousandGroupFoldersBecomeRowsInOneRepaint)
{
    for (int g = 0; g < 1000; ++g)
        ASSERT_TRUE(::CreateDirectoryW((m_root + L"\\组" + std::to_wstring(g)).c_str(), nullptr));
    catalogue::CatalogueLoader loader(m_control, std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{}));
    AddWatch::drawing = true;
    AddWatch::adds = AddWatch::addsWhileDrawing = 0;
    AddWatch::previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AddWatch::Proc)));
    loader.Load(m_root);
    ::SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddWatch::previous));

    EXPECT_EQ(AddWatch::adds, 1000);
    EXPECT_EQ(AddWatch::addsWhileDrawing, 0);
    EXPECT_TRUE(AddWatch::drawing) << "drawing is back on after the batch";
    EXPECT_NE(m_control.GetGroupName(Rows().back()).find(L" [0]"), std::wstring::npos);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
}

TEST_F(CatalogueLoaderTest, AProgramThatIsGoneIsMarkedUntilItIsAskedAgainAfterItCameBack)
{
    const std::wstring gone = m_temp.Path() + L"\\gone.exe";
    const std::wstring here = m_temp.Path() + L"\\here.exe";
    ASSERT_TRUE(base::WriteFileAtomic(here, "MZ"));
    Shortcut(L"g", L"one", gone);
    Shortcut(L"g", L"two", gone);
    Shortcut(L"g", L"fine", here);
    std::map<int, bool> marks;
    catalogue::CatalogueLoader loader(m_control, std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{}));
    loader.SetMissingMarker([&](int entry, bool missing) { marks[entry] = missing; });
    const auto marked = [&] { // entry names of the marks as they stand
        std::map<std::wstring, bool> byName;
        for (const auto& [entry, missing] : marks) {
            if (const auto item = m_control.ReadItem(entry))
                byName[item->name] = missing;
        }
        return byName;
    };

    loader.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(marked(), (std::map<std::wstring, bool>{{L" one", true}, {L" two", true}}));

    // Back again: asked anew, as for another picture size, the marks go.
    ASSERT_TRUE(base::WriteFileAtomic(gone, "MZ"));
    loader.SetPictureSize(48);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(marked(), (std::map<std::wstring, bool>{{L" one", false}, {L" two", false}, {L" fine", false}}));

    // A reload asks again too, and marks nothing that is there.
    marks.clear();
    loader.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_TRUE(marks.empty());
}

TEST_F(CatalogueLoaderTest, AReloadKeepsTheUsersPlaceAndSelectsARenamedEntryWhenItArrives)
{
    for (int i = 0; i < 100; ++i)
        Shortcut(L"a", L"a" + std::to_wstring(i), L"C:\\a.exe");
    Shortcut(L"b", L"b1", L"C:\\b1.exe");
    Shortcut(L"b", L"old", L"C:\\renamed.exe");
    Shortcut(L"c", L"c1", L"C:\\c1.exe");
    catalogue::CatalogueLoader loader(m_control, std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{}));
    const auto selected = [&] { return m_control.GetHandleAtRow(m_control.SelectedRow()); };
    const auto expanded = [&](const wchar_t* group) { return m_control.ReadItem(m_control.FindGroupByName(group))->expanded; };

    ASSERT_EQ(catalogue::RenameShortcut(m_root, L"b", L"old", L"Renamed"), catalogue::EditResult::Done);
    loader.Load(m_root, {{L"A", L"c"}, L"B", L"RENAMED"});
    EXPECT_EQ(catalogue::ShortcutCount(m_control, m_control.FindGroupByName(L"a [100]")), 100);
    EXPECT_EQ(m_control.SelectedRow(), -1) << "no entry has come yet";
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    const std::optional<catalogue::ShortcutRef> shortcut = catalogue::ShortcutOf(m_control, selected());
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->group + L"|" + shortcut->name + L"|" + shortcut->path, L"b|Renamed|C:\\renamed.exe");
    EXPECT_EQ(catalogue::EntriesOf(m_control, m_control.FindGroupByName(L"b [2]")).size(), 2u);
    RECT client{};
    ::GetClientRect(m_list, &client);
    EXPECT_LE(RowRect(m_control.SelectedRow()).bottom, client.bottom) << "scrolled into sight";
    EXPECT_TRUE(expanded(L"a [100]") && expanded(L"b [2]") && expanded(L"c [1]"));

    // Under a filter every group shows open; the place keeps what the user
    // left, and so does the list once the filter ends after a reload.
    m_control.CollapseGroup(m_control.FindGroupByName(L"c [1]"));
    m_control.SetFilter(L"c1");
    const catalogue::ListPlace place = loader.CurrentPlace();
    EXPECT_EQ(place.selectedGroup + L"|" + place.selectedEntry, L"c|c1");
    loader.Load(m_root, place);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(m_control.FilterText(), L"c1");
    m_control.SetFilter(L"");
    EXPECT_TRUE(expanded(L"a [100]") && expanded(L"b [2]"));
    EXPECT_FALSE(expanded(L"c [1]"));

    // The user picks a row before the place's comes: the user's choice stays.
    loader.Load(m_root, {{}, L"b", L"Renamed"});
    const int c = m_control.FindGroupByName(L"c [1]");
    const LPARAM at = MAKELPARAM(100, RowRect(RowIndexOf(c)).top + 5);
    ::SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(m_list, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([&] { return loader.Done(); }));
    EXPECT_EQ(selected(), c);
}

TEST_F(CatalogueLoaderTest, ASecondStartShowsKeptPicturesAtOnceAndAsksOnlyForNewChangedOrMissingPrograms)
{
    const std::wstring kept = m_temp.Path() + L"\\kept.exe";
    const std::wstring replaced = m_temp.Path() + L"\\replaced.exe";
    const std::wstring gone = m_temp.Path() + L"\\gone.exe";
    const std::wstring added = m_temp.Path() + L"\\added.exe";
    const std::wstring share = L"\\\\192.0.2.1\\share\\app.exe"; // no server answers there
    const std::wstring cacheFile = m_temp.Path() + L"\\IconCache.dat";
    ASSERT_TRUE(base::WriteFileAtomic(kept, "MZ") && base::WriteFileAtomic(replaced, "MZ"));
    Shortcut(L"g", L"kept", kept);
    Shortcut(L"g", L"kept too", kept);
    Shortcut(L"g", L"replaced", replaced);
    Shortcut(L"g", L"gone", gone);
    Shortcut(L"h", L"share", share);
    {
        catalogue::CatalogueLoader first(m_control, std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{
                                                        {kept, RGB(200, 0, 0)},
                                                        {replaced, RGB(0, 200, 0)},
                                                        {share, RGB(0, 0, 200)},
                                                    }));
        first.UseIconCache(cacheFile);
        first.Load(m_root);
        ASSERT_TRUE(PumpUntil([&] {
            return first.Done() && ::GetFileAttributesW(cacheFile.c_str()) != INVALID_FILE_ATTRIBUTES;
        }));
    }

    // Another program in replaced's place, with a new write time; a new shortcut.
    ::Sleep(20);
    ASSERT_TRUE(base::WriteFileAtomic(replaced, "MZ, another program"));
    ASSERT_TRUE(base::WriteFileAtomic(added, "MZ"));
    Shortcut(L"g", L"added", added);
    // What the shell would give now: a program it is not asked for keeps its old colour.
    const auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{
        {kept, RGB(1, 1, 1)}, {replaced, RGB(0, 0, 99)}, {added, RGB(9, 9, 9)}, {share, RGB(5, 5, 5)}});
    source->Hold();
    catalogue::CatalogueLoader second(m_control, source);
    std::map<std::wstring, bool> marks;
    second.SetMissingMarker([&](int entry, bool missing) { marks[m_control.ReadItem(entry)->name] = missing; });
    second.UseIconCache(cacheFile);
    second.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return second.Stats().entries == 6; }));
    auto shown = Entries();
    EXPECT_EQ(shown.at(L" kept").colour, RGB(200, 0, 0)) << "kept pictures come with their entries";
    EXPECT_EQ(shown.at(L" kept").picture, shown.at(L" kept too").picture);
    EXPECT_EQ(shown.at(L" replaced").colour, RGB(0, 200, 0)) << "until the check finds it changed";
    EXPECT_EQ(shown.at(L" share").colour, RGB(0, 0, 200));
    EXPECT_EQ(shown.at(L" added").colour, kWhite);
    EXPECT_EQ(marks, (std::map<std::wstring, bool>{{L" gone", true}}));
    EXPECT_EQ(second.Stats().cachedPaths, 4);

    source->Release();
    ASSERT_TRUE(PumpUntil([&] { return second.Done(); }));
    shown = Entries();
    EXPECT_EQ(shown.at(L" kept").colour, RGB(200, 0, 0));
    EXPECT_EQ(shown.at(L" replaced").colour, RGB(0, 0, 99));
    EXPECT_EQ(shown.at(L" added").colour, RGB(9, 9, 9));
    EXPECT_EQ(shown.at(L" share").colour, RGB(0, 0, 200)) << "a share is not checked on a start";
    std::vector<std::wstring> asked = source->Asked();
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::wstring>{added, gone, replaced}));

    // A reload checks the share too; not answering, it keeps its picture.
    second.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return second.Done(); }));
    EXPECT_EQ(Entries().at(L" share").colour, RGB(0, 0, 200));
    EXPECT_EQ(source->Asked().size(), 4u) << "only the one still missing";
}

TEST_F(CatalogueLoaderTest, AShortcutFileUnchangedSinceTheLastLoadIsNotReadAgain)
{
    const std::wstring cacheFile = m_temp.Path() + L"\\IconCache.dat";
    const auto file = [&](const std::wstring& name) { return m_root + L"\\g\\" + name + L".txt"; };
    Shortcut(L"g", L"settled", L"C:\\a.exe");
    Shortcut(L"g", L"edited", L"C:\\b.exe");
    Shortcut(L"g", L"removed", L"C:\\c.exe");
    Shortcut(L"g", L"fresh", L"C:\\d.exe");
    for (const wchar_t* name : {L"settled", L"edited", L"removed"})
        ASSERT_TRUE(testing_support::DateBack(file(name), 3600));
    const auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{});
    {
        catalogue::CatalogueLoader first(m_control, source);
        first.UseIconCache(cacheFile);
        first.Load(m_root);
        ASSERT_TRUE(PumpUntil([&] {
            return first.Done() && ::GetFileAttributesW(cacheFile.c_str()) != INVALID_FILE_ATTRIBUTES;
        }));
    }

    // Another program of the same length, written long ago too, but at another time.
    Shortcut(L"g", L"edited", L"C:\\e.exe");
    ASSERT_TRUE(testing_support::DateBack(file(L"edited"), 3000));
    ASSERT_TRUE(::DeleteFileW(file(L"removed").c_str()));
    // Held shut: only what the cache kept can name their programs now.
    const auto holdShut = [&](const wchar_t* name) {
        return base::UniqueFileHandle(::CreateFileW(file(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    base::UniqueFileHandle settled = holdShut(L"settled");
    base::UniqueFileHandle fresh = holdShut(L"fresh");
    ASSERT_TRUE(settled && fresh);
    const std::optional<std::string> firstCache = base::ReadFileBytes(cacheFile);
    catalogue::CatalogueLoader second(m_control, source);
    second.UseIconCache(cacheFile);
    second.Load(m_root);
    ASSERT_TRUE(PumpUntil([&] { return second.Done() && base::ReadFileBytes(cacheFile) != firstCache; }));
    const auto shown = Entries();
    EXPECT_EQ(shown.at(L" settled").signature, L"C:\\a.exe");
    EXPECT_EQ(shown.at(L" edited").signature, L"C:\\e.exe") << "changed since: read again";
    EXPECT_EQ(shown.at(L" fresh").signature, L"") << "written moments before the first load: not kept";

    // Written again after the load: the removed file forgotten, the edited one's new program kept.
    const auto written = catalogue::DecodeIconCache(base::ReadFileBytes(cacheFile).value_or(""));
    ASSERT_TRUE(written);
    std::map<std::wstring, std::wstring> kept;
    for (const catalogue::CachedShortcut& shortcut : written->shortcuts)
        kept[std::wstring(base::FileNameOf(shortcut.file))] = shortcut.program;
    EXPECT_EQ(kept, (std::map<std::wstring, std::wstring>{{L"settled.txt", L"C:\\a.exe"},
                                                          {L"edited.txt", L"C:\\e.exe"}}));
}

TEST_F(CatalogueLoaderTest, TheFirstLoadTakesTheListingMadeAheadAndReloadsListAfresh)
{
    Shortcut(L"g", L"a", L"C:\\a.exe");
    Shortcut(L"g", L"bb", L"C:\\b.exe");
    catalogue::ListingAhead other;
    other.Start(m_root);
    EXPECT_FALSE(other.Take(m_temp.Path())) << "listed for another root";

    catalogue::ListingAhead ahead;
    ahead.Start(m_root);
    const std::optional<catalogue::CatalogueListing> listed = ahead.Take(m_root);
    EXPECT_FALSE(ahead.Take(m_root)) << "taken once";
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->groups.size(), 1u);
    std::map<std::wstring, std::uint64_t> sizes;
    for (const base::ListedFile& file : listed->groups[0].files)
        sizes[file.name] = file.size;
    EXPECT_EQ(sizes, (std::map<std::wstring, std::uint64_t>{{L"a.txt", 8}, {L"bb.txt", 8}}));

    // Listed ahead before "h" was made: the first load shows what was
    // listed, a reload what is there.
    catalogue::ListingAhead ready;
    ready.Start(m_root);
    ASSERT_TRUE(PumpUntil([&] { return ready.IsListed(); }));
    Shortcut(L"h", L"c", L"C:\\c.exe");
    catalogue::CatalogueLoader loader(m_control, std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{}));
    loader.UseListingAhead(std::move(ready));
    const auto groups = [&] {
        std::vector<std::wstring> names;
        for (const int handle : Rows())
            names.push_back(m_control.GetGroupName(handle));
        std::sort(names.begin(), names.end());
        return names;
    };
    loader.Load(m_root);
    EXPECT_EQ(groups(), (std::vector<std::wstring>{L"g [2]"}));
    loader.Load(m_root);
    EXPECT_EQ(groups(), (std::vector<std::wstring>{L"g [2]", L"h [1]"}));
}

TEST(IconWorkerTest, ASourceThatAnswersAfterTheWorkerIsGonePostsNothing)
{
    constexpr UINT kReady = WM_APP + 30;
    const std::wstring path = L"C:\\slow.exe";
    auto source = std::make_shared<ColourSource>(std::map<std::wstring, COLORREF>{{path, RGB(1, 2, 3)}});
    source->Hold();
    // Stands for the loader's window, kept alive to see what still comes.
    const base::UniqueWindow window(
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    auto worker = std::make_unique<catalogue::IconWorker>(source, window.get(), kReady);
    worker->StartLoad(1, 32);
    worker->Request(0, path);
    const DWORD start = ::GetTickCount();
    while (source->Asked().empty() && ::GetTickCount() - start < 5000)
        ::Sleep(5);
    ASSERT_EQ(source->Asked().size(), 1u);

    worker.reset();
    source->Release();
    // The thread holds the source until it has ended.
    while (source.use_count() > 1 && ::GetTickCount() - start < 10000)
        ::Sleep(5);
    EXPECT_EQ(source.use_count(), 1) << "the worker's thread is still running";
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, window.get(), kReady, kReady, PM_REMOVE));
}
