// The catalogue as a user meets it: how soon the program first paints with
// catalogues of 0, 1,000 and 10,000 shortcuts (its icon cache in place);
// how long the pictures of a 1,000-shortcut load take against the time the
// shell spends making them, and from a process's start with and without
// the pictures kept by an earlier one;
// how long a message to the window waits meanwhile; the GDI objects of a
// 20,000-shortcut catalogue expanded and painted whole; and that reloads do
// not grow them. Prints name=value figures; progress goes to stderr.

#include "FileAge.h"
#include "GdiCount.h"
#include "support/BenchSupport.h"
#include "ProcessWindow.h"
#include "ProgramProcess.h"
#include "ScratchFolder.h"
#include "base/Handles.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "catalogue/Catalogue.h"
#include "grouplist/GroupedListControl.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using bench::PumpMessages;
using bench::Stopwatch;

// A catalogue's shape: its group folders and the shortcut files in each.
struct Shape {
    int groups = 0;
    int perGroup = 0;
    [[nodiscard]] constexpr int Shortcuts() const { return groups * perGroup; }
};

constexpr Shape kIconCatalogue{20, 50};
// Each 1,000-shortcut load's programs: links under names no load used
// before. The source's time is what the loader's own work should hide
// behind, so it must be real work: a path the shell has seen costs it under
// half (it keeps icons by path), and with only the hundred or so programs
// of the Windows folders the loader's own costs (some 0.3 s for 1,000
// entries) would be a good part of the figure. 250 programs, each named by
// four shortcuts, make the source's share seconds, and a load still takes
// only seconds.
constexpr int kIconPrograms = 250;
constexpr Shape kLargeCatalogue{200, 100};
// The start-ups use the reload catalogue (20 x 50) and half the large one.
constexpr Shape kStartupShapes[] = {{0, 0}, {20, 50}, {100, 100}};
static_assert(kStartupShapes[1].groups == kIconCatalogue.groups &&
              kStartupShapes[1].perGroup == kIconCatalogue.perGroup &&
              kStartupShapes[2].groups <= kLargeCatalogue.groups &&
              kStartupShapes[2].perGroup == kLargeCatalogue.perGroup);
constexpr int kRounds = 3;
// A program's start under Wine here varies by 100 ms from one to the next,
// more than the catalogue's share of it: the best of more starts.
constexpr int kStartupRounds = 5;
// The warm-up, the timed rounds, the latency round, the starts with and without a cache.
constexpr int kIconLoads = 1 + kRounds + 1 + 1;
constexpr wchar_t kIconsFromStartOption[] = L"--icons-from-start";
// Enough to show a leak of a single object per reload.
constexpr int kReloads = 10;
// Fewer would mean a Windows folder unlike any the figures were meant for.
constexpr std::size_t kMinPrograms = 30;
constexpr double kLoadTimeoutMs = 300000;
constexpr double kStartTimeoutMs = 60000;
constexpr UINT kProbeTimeoutMs = 1000;
// Laid over each page before the list draws it: a page still all this
// colour afterwards was not drawn.
constexpr std::uint32_t kUnpainted = 0x00FF00FF;
constexpr wchar_t kHostClass[] = L"QuilleryCatalogueBenchHost";
constexpr wchar_t kMainWindowClass[] = L"QuilleryMainWindow";

const Stopwatch sinceStart;

// Progress and diagnostics, each line with the time since the start.
void Note(const char* format, ...)
{
    std::fprintf(stderr, "catalogue_bench [%.1f s]: ", sinceStart.ElapsedMs() / 1000);
    va_list values;
    va_start(values, format);
    std::vfprintf(stderr, format, values);
    va_end(values);
    std::fputc('\n', stderr);
}

// For the steps after which nothing can be measured.
bool Failed(const char* what)
{
    Note("%s", what);
    return false;
}

std::wstring WindowsFolder()
{
    wchar_t path[MAX_PATH]{};
    const UINT length = ::GetWindowsDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path) : std::wstring(L"C:\\windows");
}

std::wstring SystemFolder()
{
    wchar_t path[MAX_PATH]{};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path) : WindowsFolder() + L"\\system32";
}

// Real programs, so every shortcut makes the shell open a file and find an
// icon resource rather than hand back the generic one.
std::vector<std::wstring> InstalledPrograms()
{
    std::vector<std::wstring> programs;
    for (const std::wstring& folder : {SystemFolder(), WindowsFolder()}) {
        WIN32_FIND_DATAW data{};
        base::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*.exe").c_str(), &data));
        if (!find)
            continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                programs.push_back(folder + L"\\" + data.cFileName);
        } while (::FindNextFileW(find.get(), &data));
    }
    std::sort(programs.begin(), programs.end());
    return programs;
}

std::wstring StemOf(const std::wstring& path)
{
    const std::wstring file = path.substr(path.rfind(L'\\') + 1);
    return file.substr(0, file.rfind(L'.'));
}

bool MakeFolder(const std::wstring& folder)
{
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// count program files in a new folder, each a link to (or, where links
// fail, a copy of) one of the installed programs under a name of its own.
std::vector<std::wstring> ProgramLinks(const std::wstring& folder, const std::vector<std::wstring>& programs,
                                       int count)
{
    if (!::CreateDirectoryW(folder.c_str(), nullptr))
        return {};
    std::vector<std::wstring> links;
    for (int k = 0; k < count; ++k) {
        const std::wstring& program = programs[static_cast<std::size_t>(k) % programs.size()];
        const std::wstring link = folder + L"\\" + StemOf(program) + L"-" + std::to_wstring(k) + L".exe";
        if (!::CreateHardLinkW(link.c_str(), program.c_str(), nullptr) &&
            !::CopyFileW(program.c_str(), link.c_str(), TRUE))
            return {};
        links.push_back(link);
    }
    return links;
}

std::wstring TwoDigits(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

std::wstring GroupFolderName(int g)
{
    static constexpr const wchar_t* kTopics[] = {L"常用工具", L"系统", L"办公软件", L"网络", L"影音娱乐"};
    return L"分组" + TwoDigits(g) + L" " + kTopics[g % std::size(kTopics)];
}

// The program's own name in the middle, as users name their shortcuts.
std::wstring ShortcutFileName(int k, const std::wstring& program)
{
    return L"程序" + std::to_wstring(k) + L" " + StemOf(program) + L" 快捷方式.txt";
}

// The path in the ANSI code page, as the program writes it. Plain writes:
// tens of thousands of files through the program's flushed rewrite would
// take most of the run. Dated an hour back, as a user's catalogue is (a
// file written moments ago is read afresh on every load).
bool WriteShortcut(const std::wstring& file, const std::wstring& program)
{
    const std::string bytes = base::EncodeFileText(program, CP_ACP);
    const base::UniqueFileHandle handle(
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!handle || !::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        return false;
    return testing_support::DateBack(handle.get(), 3600);
}

// The catalogue's group folders and shortcut files under root, cycling
// through the programs; files already there are written over, so the same
// catalogue can name other programs of the same names.
bool WriteCatalogue(const std::wstring& root, Shape shape, const std::vector<std::wstring>& programs)
{
    if (!MakeFolder(root))
        return false;
    int k = 0;
    for (int g = 0; g < shape.groups; ++g) {
        const std::wstring folder = root + L"\\" + GroupFolderName(g);
        if (!MakeFolder(folder))
            return false;
        for (int i = 0; i < shape.perGroup; ++i, ++k) {
            const std::wstring& program = programs[static_cast<std::size_t>(k) % programs.size()];
            if (!WriteShortcut(folder + L"\\" + ShortcutFileName(k, program), program))
                return false;
        }
    }
    return true;
}

// The first groups of a catalogue that WriteCatalogue wrote.
std::vector<std::wstring> GroupFolders(const std::wstring& root, int groups)
{
    std::vector<std::wstring> folders;
    for (int g = 0; g < groups; ++g)
        folders.push_back(root + L"\\" + GroupFolderName(g));
    return folders;
}

// Removes folder and everything in it. The scratch folder's own way,
// SHFileOperation, takes some 4 ms a file under Wine: minutes for the tens
// of thousands of files here.
void RemoveTree(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, bool>> children; // listed whole first: no deleting while listing
    WIN32_FIND_DATAW data{};
    if (const base::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data)); find) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                children.emplace_back(folder + L"\\" + name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        } while (::FindNextFileW(find.get(), &data));
    }
    for (const auto& [path, isFolder] : children) {
        if (isFolder)
            RemoveTree(path);
        else
            (void)::DeleteFileW(path.c_str());
    }
    (void)::RemoveDirectoryW(folder.c_str());
}

// What the loads read, written before anything is measured.
struct Catalogues {
    std::vector<std::wstring> iconPrograms; // kIconPrograms for each load of the icon catalogue
    std::wstring iconRoot;                  // rewritten for each load with its programs
    std::wstring reloadRoot;                // kIconCatalogue over the installed programs
    std::wstring largeRoot;                 // kLargeCatalogue over the installed programs
};

std::optional<Catalogues> WriteCatalogues(const std::wstring& scratch, const std::vector<std::wstring>& programs)
{
    Catalogues catalogues{.iconPrograms = {},
                          .iconRoot = scratch + L"\\icons",
                          .reloadRoot = scratch + L"\\reload",
                          .largeRoot = scratch + L"\\large"};
    const std::wstring linkFolder = scratch + L"\\programs";
    if (!MakeFolder(linkFolder) || !WriteCatalogue(catalogues.reloadRoot, kIconCatalogue, programs) ||
        !WriteCatalogue(catalogues.largeRoot, kLargeCatalogue, programs))
        return std::nullopt;
    for (int load = 0; load < kIconLoads; ++load) {
        // A folder per load: the same names, so each load's catalogue is
        // written over the last one's.
        std::vector<std::wstring> links =
            ProgramLinks(linkFolder + L"\\" + std::to_wstring(load), programs, kIconPrograms);
        if (links.empty())
            return std::nullopt;
        catalogues.iconPrograms.insert(catalogues.iconPrograms.end(), links.begin(), links.end());
    }
    return catalogues;
}

// The icon catalogue naming the programs of one load, its 1,000 shortcuts
// four to a program.
bool WriteIconCatalogue(const Catalogues& catalogues, int load)
{
    const auto first = catalogues.iconPrograms.begin() + static_cast<std::ptrdiff_t>(load) * kIconPrograms;
    return WriteCatalogue(catalogues.iconRoot, kIconCatalogue, std::vector<std::wstring>(first, first + kIconPrograms));
}

// Messages to the window from another thread, as another program's or the
// system's come: the longest any of them waited for its answer.
class LatencyProbe {
public:
    explicit LatencyProbe(HWND window) : m_thread([this, window] { Run(window); }) {}
    LatencyProbe(const LatencyProbe&) = delete;
    LatencyProbe& operator=(const LatencyProbe&) = delete;
    ~LatencyProbe() { (void)Stop(); }

    // The window's thread calls this: it answers the probe's last message
    // while it waits, so neither side waits out the other's time-out.
    double Stop()
    {
        m_stop = true;
        while (!m_ended) {
            PumpMessages();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
        if (m_thread.joinable())
            m_thread.join();
        return m_longestMs;
    }

private:
    void Run(HWND window)
    {
        while (!m_stop) {
            const Stopwatch watch;
            DWORD_PTR result = 0;
            const bool answered =
                ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeoutMs, &result) != 0;
            m_longestMs = std::max(m_longestMs, answered ? watch.ElapsedMs() : double{kProbeTimeoutMs});
            ::Sleep(1);
        }
        m_ended = true;
    }

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
    double m_longestMs = 0; // the probe thread's until m_ended
    std::thread m_thread;
};

// One whole load, pictures included. Empty when it does not finish.
std::optional<catalogue::LoadStats> WholeLoad(catalogue::CatalogueLoader& loader, const std::wstring& root)
{
    const Stopwatch watch;
    loader.Load(root);
    while (!loader.Done()) {
        if (watch.ElapsedMs() > kLoadTimeoutMs)
            return std::nullopt;
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    // Whatever the load posted belongs to it, not to the next figure.
    PumpMessages();
    return loader.Stats();
}

// The load finished with the catalogue's groups and entries, each distinct
// path asked for once, and the list showing the groups collapsed.
bool LoadCameWhole(const std::optional<catalogue::LoadStats>& stats, Shape shape, int distinctPaths, HWND list)
{
    if (!stats) {
        Note("a load did not finish");
        return false;
    }
    const LRESULT rows = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (stats->groups != shape.groups || stats->entries != shape.Shortcuts() || stats->pathsAsked != distinctPaths ||
        rows != shape.groups) {
        Note("a load gave %d groups, %d entries, %d paths asked, %ld rows; expected %d, %d, %d, %d", stats->groups,
             stats->entries, stats->pathsAsked, static_cast<long>(rows), shape.groups, shape.Shortcuts(),
             distinctPaths, shape.groups);
        return false;
    }
    return true;
}

// The handles of the process's live GDI objects, in order, found the way
// LiveGdiObjects finds them under Wine: to name what a growth is made of.
std::vector<UINT_PTR> LiveGdiHandles()
{
    std::vector<UINT_PTR> handles;
    for (UINT_PTR i = 1; i <= 0xFFFF; ++i) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0)
            handles.push_back(i);
    }
    return handles;
}

// Draws every row once, a page at a time from the top, through the list's
// own painting (WM_PRINTCLIENT) into a picture. Its host is hidden
// meanwhile: shown, each page's scroll costs Wine some 5 ms of window work
// against under 1 ms for the drawing. False when a page came out undrawn.
bool PaintEveryRow(HWND list)
{
    const LRESULT rows = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    RECT client{};
    ::GetClientRect(list, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const base::UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const base::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!canvas || !dc || !bits)
        return Failed("could not make the picture to paint the list into");
    auto* const pixels = static_cast<std::uint32_t*>(bits);
    const std::size_t pixelCount = static_cast<std::size_t>(client.right) * static_cast<std::size_t>(client.bottom);

    const HWND host = ::GetParent(list);
    ::ShowWindow(host, SW_HIDE);
    int pages = 0;
    int undrawn = 0;
    {
        const base::SelectGuard select(dc.get(), canvas.get());
        for (LRESULT top = 0; top < rows; ++pages) {
            ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
            ::GdiFlush();
            std::fill(pixels, pixels + pixelCount, kUnpainted);
            ::SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
            ::GdiFlush();
            if (std::all_of(pixels, pixels + pixelCount, [](std::uint32_t p) { return p == kUnpainted; }))
                ++undrawn;
            // The row at the bottom edge, part shown, starts the next page.
            const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(0, client.bottom - 1));
            top = std::max<LRESULT>(top + 1, LOWORD(hit));
        }
    }
    ::SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    ::ShowWindow(host, SW_SHOWNOACTIVATE);
    ::UpdateWindow(list);
    PumpMessages();
    if (undrawn > 0) {
        Note("%d of %d pages of the list were not drawn", undrawn, pages);
        return false;
    }
    return true;
}

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

double MsSinceProcessCreation()
{
    FILETIME creation{}, exit{}, kernel{}, user{}, now{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return -1;
    ::GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(FileTimeValue(now) - FileTimeValue(creation)) / 10000.0;
}

// The child's side of IconsFromStart: a list and a loader keeping its
// pictures in cacheFile, made from nothing in a process of its own, as the
// program makes them. Writes "ms cachedPaths pathsAsked" to resultFile, the
// time counted from the process's creation to the last picture in place;
// then saves the cache, as the program does at its close.
int RunIconsFromStart(const std::wstring& root, const std::wstring& cacheFile, const std::wstring& resultFile)
{
    base::UniqueWindow host(::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"catalogue bench", WS_POPUP | WS_VISIBLE,
                                              0, 0, 275, 500, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                              nullptr));
    grouplist::GroupedListControl list;
    if (!host || !list.Create(host.get(), 0, 1, false, RGB(255, 255, 255))) {
        Note("could not create the list");
        return 1;
    }
    catalogue::CatalogueLoader loader(list);
    loader.UseIconCache(cacheFile);
    const double loadStartMs = MsSinceProcessCreation();
    const std::optional<catalogue::LoadStats> stats = WholeLoad(loader, root);
    if (!stats || loadStartMs < 0) {
        Note("the load did not finish");
        return 1;
    }
    Note("from the process's start: load started at %.1f ms, icons done %.1f ms after it (%d of %d paths cached)",
         loadStartMs, stats->iconsDoneMs, stats->cachedPaths, stats->pathsAsked);
    loader.SaveIconCache();
    char result[96];
    std::snprintf(result, sizeof result, "%.1f %d %d", loadStartMs + stats->iconsDoneMs, stats->cachedPaths,
                  stats->pathsAsked);
    return base::WriteFileAtomic(resultFile, result) ? 0 : 1;
}

struct StartIcons {
    double ms = 0; // from the process's creation to the last picture in place
    int cachedPaths = 0;
    int pathsAsked = 0;
};

// This program started again to load root from its own start (see
// RunIconsFromStart), with its pictures kept in cacheFile.
std::optional<StartIcons> IconsFromStart(const std::wstring& root, const std::wstring& cacheFile)
{
    const std::wstring resultFile = cacheFile + L".result";
    (void)::DeleteFileW(resultFile.c_str());
    wchar_t self[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const testing_support::ProgramProcess process(
        self, base::FolderOf(self),
        std::wstring(kIconsFromStartOption) + L" \"" + root + L"\" \"" + cacheFile + L"\" \"" + resultFile + L"\"");
    // One that does not end is ended as the process object goes.
    const std::optional<DWORD> code = process.WaitForExit(static_cast<DWORD>(kLoadTimeoutMs));
    const std::optional<std::string> result = base::ReadFileBytes(resultFile);
    StartIcons icons;
    if (!process.Started() || code != std::optional<DWORD>(0) || !result ||
        std::sscanf(result->c_str(), "%lf %d %d", &icons.ms, &icons.cachedPaths, &icons.pathsAsked) != 3) {
        Note("the load from a process's start failed (exit code %ld)", code ? static_cast<long>(*code) : -1L);
        return std::nullopt;
    }
    return icons;
}

// The 1,000-shortcut catalogue's pictures from a process's start: once
// with no cache, which writes it, then (best of the rounds) with it.
bool MeasureIconsFromStart(const Catalogues& catalogues, int load, std::optional<double> coldInProcessMs)
{
    if (!WriteIconCatalogue(catalogues, load))
        return Failed("could not write the 1,000-shortcut catalogue");
    const std::wstring cacheFile = base::FolderOf(catalogues.iconRoot) + L"\\IconCache.dat";
    (void)::DeleteFileW(cacheFile.c_str());
    const std::optional<StartIcons> cold = IconsFromStart(catalogues.iconRoot, cacheFile);
    if (!cold || ::GetFileAttributesW(cacheFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failed("the first start wrote no icon cache");
    Note("start without a cache: icons done %.1f ms, %d paths asked", cold->ms, cold->pathsAsked);
    std::optional<StartIcons> warm;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        const std::optional<StartIcons> run = IconsFromStart(catalogues.iconRoot, cacheFile);
        if (!run || run->cachedPaths != kIconPrograms) {
            Note("a start with the cache found %d of %d pictures there", run ? run->cachedPaths : 0, kIconPrograms);
            ok = false;
            continue;
        }
        Note("start with the cache %d: icons done %.1f ms", round + 1, run->ms);
        if (!warm || run->ms < warm->ms)
            warm = run;
    }
    std::printf("catalogue_icons_done_cold_start_ms_1000=%.1f\n", cold->ms);
    if (warm) {
        std::printf("catalogue_icons_done_warm_ms_1000=%.1f\n", warm->ms);
        if (coldInProcessMs && *coldInProcessMs > 0)
            std::printf("catalogue_icons_warm_ratio_1000=%.3f\n", warm->ms / *coldInProcessMs);
    }
    std::fflush(stdout);
    return ok && warm.has_value();
}

// The in-process figures: one list in a host window, one loader on it.
bool MeasureLoads(const Catalogues& catalogues, int installed)
{
    base::UniqueWindow host(::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"catalogue bench", WS_POPUP | WS_VISIBLE,
                                              0, 0, 275, 500, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                              nullptr));
    if (!host)
        return Failed("could not create the host window");
    grouplist::GroupedListControl list;
    if (!list.Create(host.get(), 0, 1, false, RGB(255, 255, 255)))
        return Failed("could not create the list");
    const HWND listWindow = list.GetWindowHandle();
    catalogue::CatalogueLoader loader(list);
    PumpMessages();
    bool ok = true;

    int iconLoad = 0;
    const auto nextIconLoad = [&]() -> std::optional<catalogue::LoadStats> {
        if (!WriteIconCatalogue(catalogues, iconLoad++)) {
            Note("could not write the 1,000-shortcut catalogue");
            return std::nullopt;
        }
        return WholeLoad(loader, catalogues.iconRoot);
    };

    // The first load pays for what every later one finds made: the shell's
    // image lists, the code paths, the file cache.
    if (const auto warm = nextIconLoad(); LoadCameWhole(warm, kIconCatalogue, kIconPrograms, listWindow))
        Note("warm-up load: icons done %.1f ms, source %.1f ms", warm->iconsDoneMs, warm->sourceMs);
    else
        ok = false;

    std::optional<catalogue::LoadStats> best;
    for (int round = 0; round < kRounds; ++round) {
        const auto run = nextIconLoad();
        ok = LoadCameWhole(run, kIconCatalogue, kIconPrograms, listWindow) && ok;
        if (!run)
            continue;
        Note("load %d: icons done %.1f ms, source %.1f ms, %d pictures", round + 1, run->iconsDoneMs, run->sourceMs,
             run->pictures);
        if (!best || run->iconsDoneMs < best->iconsDoneMs)
            best = run;
    }
    if (best) {
        std::printf("catalogue_icons_done_ms_1000=%.1f\n", best->iconsDoneMs);
        std::printf("catalogue_icon_source_ms_1000=%.1f\n", best->sourceMs);
        std::printf("catalogue_icons_done_ratio_1000=%.2f\n",
                    best->sourceMs > 0 ? best->iconsDoneMs / best->sourceMs : 0.0);
        std::fflush(stdout);
    }

    {
        if (!WriteIconCatalogue(catalogues, iconLoad++))
            return Failed("could not write the 1,000-shortcut catalogue");
        LatencyProbe probe(listWindow);
        const auto run = WholeLoad(loader, catalogues.iconRoot);
        const double longest = probe.Stop();
        ok = LoadCameWhole(run, kIconCatalogue, kIconPrograms, listWindow) && ok;
        Note("latency load: icons done %.1f ms", run ? run->iconsDoneMs : 0.0);
        std::printf("ui_latency_max_ms_during_icons=%.1f\n", longest);
        std::fflush(stdout);
    }

    // The start count comes after two loads of the same catalogue: by then
    // the entries hold their pictures, which every reload replaces one for
    // one, and the shell has made what it keeps for the process. Counted
    // before it, all of that would pass for growth. One load was not always
    // enough: with entries that come quickly, two 32 x 32 bitmaps were
    // sometimes first made in the reload after it, never again after that.
    {
        for (int i = 0; i < 2; ++i)
            ok = LoadCameWhole(WholeLoad(loader, catalogues.reloadRoot), kIconCatalogue, installed, listWindow) && ok;
        const int gdiStart = testing_support::LiveGdiObjects();
        const std::vector<UINT_PTR> before = LiveGdiHandles();
        for (int i = 0; i < kReloads; ++i)
            ok = LoadCameWhole(WholeLoad(loader, catalogues.reloadRoot), kIconCatalogue, installed, listWindow) && ok;
        const int gdiAfter = testing_support::LiveGdiObjects();
        const std::vector<UINT_PTR> after = LiveGdiHandles();
        Note("%d reloads done", kReloads);
        std::printf("catalogue_gdi_start=%d\n", gdiStart);
        std::printf("catalogue_gdi_after_%d_reloads=%d\n", kReloads, gdiAfter);
        std::fflush(stdout);
        if (gdiAfter > gdiStart) {
            for (const UINT_PTR handle : after) {
                if (!std::binary_search(before.begin(), before.end(), handle))
                    Note("left by the reloads: object %#llx of type %lu", static_cast<unsigned long long>(handle),
                         ::GetObjectType(reinterpret_cast<HGDIOBJ>(handle)));
            }
            ok = false;
        }
    }

    {
        const auto run = WholeLoad(loader, catalogues.largeRoot);
        ok = LoadCameWhole(run, kLargeCatalogue, installed, listWindow) && ok;
        Note("20,000-shortcut load: icons done %.1f ms", run ? run->iconsDoneMs : 0.0);
        list.ExpandAllGroups();
        const LRESULT rows = ::SendMessageW(listWindow, LB_GETCOUNT, 0, 0);
        if (rows != kLargeCatalogue.groups + kLargeCatalogue.Shortcuts()) {
            Note("the expanded list has %ld rows", static_cast<long>(rows));
            ok = false;
        }
        ok = PaintEveryRow(listWindow) && ok;
        Note("expanded and painted");
        std::printf("catalogue_gdi_20000=%d\n", testing_support::LiveGdiObjects());
        std::printf("catalogue_pictures_20000=%d\n", run ? run->pictures : 0);
        std::printf("catalogue_entries_20000=%d\n", run ? run->entries : 0);
        std::printf("catalogue_rows_20000=%ld\n", static_cast<long>(rows));
        std::fflush(stdout);
    }

    // Last: the children's time here passes with the window's queue unread.
    ok = MeasureIconsFromStart(catalogues, iconLoad++,
                               best ? std::optional<double>(best->iconsDoneMs) : std::nullopt) && ok;
    return ok;
}

// When, from CreateProcessW on, the main window was first seen, its list
// first held every group row, and the first paint was done.
struct StartupTimes {
    std::optional<double> windowMs;
    std::optional<double> rowsMs;
    std::optional<double> paintedMs;
};

// The first paint of the main window with all its group rows, seen from
// outside: the program goes on in timer slices after it, so it is never
// idle as a whole and WaitForInputIdle tells nothing. Polled about every
// millisecond: the process's visible main window, its ListBox descendant;
// the first paint is done when LB_GETCOUNT (SendMessageTimeout) equals the
// number of groups and neither the main window nor the list has an update
// region (GetUpdateRect(hwnd, nullptr, FALSE) is FALSE for both).
StartupTimes WaitForFirstPaint(const testing_support::ProgramProcess& process, int groups, const Stopwatch& watch,
                               HWND& window)
{
    StartupTimes times;
    while (watch.ElapsedMs() < kStartTimeoutMs) {
        if (process.Ended()) {
            Note("the program ended during its start");
            return times;
        }
        window = testing_support::FindVisibleProcessWindow(process.ProcessId(), kMainWindowClass);
        const HWND list = window ? testing_support::FindChildOfClass(window, L"ListBox") : nullptr;
        DWORD_PTR rows = 0;
        if (list && ::SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &rows) &&
            static_cast<int>(rows) == groups) {
            const double now = watch.ElapsedMs();
            times.windowMs = times.windowMs.value_or(now);
            times.rowsMs = times.rowsMs.value_or(now);
            if (!::GetUpdateRect(window, nullptr, FALSE) && !::GetUpdateRect(list, nullptr, FALSE)) {
                times.paintedMs = now;
                return times;
            }
        } else if (window && !times.windowMs) {
            times.windowMs = watch.ElapsedMs();
        }
        ::Sleep(1);
    }
    Note("no first paint with %d group rows within %.0f ms", groups, kStartTimeoutMs);
    return times;
}

// Moves each folder into (or, with back, out of) the folder to.
bool MoveFolders(const std::vector<std::wstring>& folders, const std::wstring& to, bool back)
{
    bool ok = true;
    for (const std::wstring& folder : folders) {
        const std::wstring inside = to + folder.substr(folder.rfind(L'\\'));
        ok = (back ? ::MoveFileW(inside.c_str(), folder.c_str()) : ::MoveFileW(folder.c_str(), inside.c_str())) && ok;
    }
    return ok;
}

// Starts the program in folder, waits for its first paint with the groups
// and closes it: the time from CreateProcessW to the first paint. Empty
// on any failure, including an exit code other than 0 after WM_CLOSE.
std::optional<double> StartAndClose(const std::wstring& exe, const std::wstring& folder, int groups)
{
    const Stopwatch watch;
    const testing_support::ProgramProcess process(exe, folder);
    if (!process.Started()) {
        Note("CreateProcessW failed (%lu)", ::GetLastError());
        return std::nullopt;
    }
    HWND window = nullptr;
    const StartupTimes times = WaitForFirstPaint(process, groups, watch, window);
    std::optional<double> result = times.paintedMs;
    if (window)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    Note("start-up with %d groups: window %.1f ms, rows %.1f ms, painted %.1f ms", groups,
         times.windowMs.value_or(-1), times.rowsMs.value_or(-1), times.paintedMs.value_or(-1));
    // One that does not end is ended as the process object goes.
    if (const std::optional<DWORD> code = process.WaitForExit(20000); !code) {
        Note("the program did not end on WM_CLOSE");
        result.reset();
    } else if (*code != 0) {
        Note("the program ended with %lu", *code);
        result.reset();
    }
    return result;
}

// One start of a fresh copy of the program in a scratch folder, its
// Favorites made of the group folders, moved in for the run and back out
// after it.
std::optional<double> TimedStartup(const std::wstring& programFile, const std::vector<std::wstring>& groups,
                                   const std::wstring& iconCache)
{
    const testing_support::ScratchFolder folder(L"qly-bench-");
    if (folder.Path().empty())
        return std::nullopt;
    const std::wstring exe = folder.Path() + L"\\Quillery.exe";
    const std::wstring favorites = folder.Path() + L"\\Favorites";
    std::optional<double> result;
    if (::CopyFileW(programFile.c_str(), exe.c_str(), FALSE) && MakeFolder(favorites) &&
        ::CopyFileW(iconCache.c_str(), (folder.Path() + L"\\IconCache.dat").c_str(), FALSE) &&
        MoveFolders(groups, favorites, false))
        result = StartAndClose(exe, folder.Path(), static_cast<int>(groups.size()));
    else
        Note("could not set up the program folder");
    // The next round needs them again.
    if (!MoveFolders(groups, favorites, true)) {
        Note("could not take the catalogue back from the program folder");
        return std::nullopt;
    }
    return result;
}

// The program's start-up with each catalogue, best of the rounds.
bool MeasureStartups(const Catalogues& catalogues)
{
    const std::wstring programFile = testing_support::BuildFolder() + L"\\Quillery.exe";
    if (::GetFileAttributesW(programFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Failed("no Quillery.exe beside the benchmark");
    const std::vector<std::wstring> groups[] = {{},
                                                GroupFolders(catalogues.reloadRoot, kStartupShapes[1].groups),
                                                GroupFolders(catalogues.largeRoot, kStartupShapes[2].groups)};
    // Every start finds the pictures of all these catalogues' programs kept
    // beside it, as after a first run: reading them must not delay the first paint.
    const std::wstring iconCache = base::FolderOf(catalogues.largeRoot) + L"\\StartupIconCache.dat";
    if (!IconsFromStart(catalogues.largeRoot, iconCache))
        return Failed("could not make the icon cache for the starts");
    bool ok = true;
    std::optional<double> bests[std::size(kStartupShapes)];
    for (std::size_t c = 0; c < std::size(kStartupShapes); ++c) {
        for (int round = 0; round < kStartupRounds; ++round) {
            const std::optional<double> run = TimedStartup(programFile, groups[c], iconCache);
            ok = run.has_value() && ok;
            if (run && (!bests[c] || *run < *bests[c]))
                bests[c] = run;
        }
        if (bests[c])
            std::printf("startup_first_paint_ms_%d=%.1f\n", kStartupShapes[c].Shortcuts(), *bests[c]);
        std::fflush(stdout);
    }
    const std::optional<double>& empty = bests[0];
    const std::optional<double>& largest = bests[std::size(kStartupShapes) - 1];
    if (empty && largest && *empty > 0)
        std::printf("startup_ratio_%d_0=%.2f\n", kStartupShapes[std::size(kStartupShapes) - 1].Shortcuts(),
                    *largest / *empty);
    std::fflush(stdout);
    return ok;
}

} // namespace

int main()
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        Note("CoInitializeEx failed");
        return 1;
    }
    if (!bench::RegisterHostClass(kHostClass)) {
        Note("RegisterClassExW failed");
        return 1;
    }
    int argc = 0;
    LPWSTR* const argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv && argc == 5 && std::wstring(argv[1]) == kIconsFromStartOption) {
        const int code = RunIconsFromStart(argv[2], argv[3], argv[4]);
        ::LocalFree(argv);
        return code;
    }
    ::LocalFree(argv);
    const std::vector<std::wstring> programs = InstalledPrograms();
    if (programs.size() < kMinPrograms) {
        Note("only %zu programs found in the Windows folders", programs.size());
        return 1;
    }

    bool ok = false;
    {
        const testing_support::ScratchFolder scratch(L"qly-bench-");
        const std::optional<Catalogues> catalogues =
            scratch.Path().empty() ? std::nullopt : WriteCatalogues(scratch.Path(), programs);
        if (catalogues) {
            Note("catalogues written");
            ok = MeasureLoads(*catalogues, static_cast<int>(programs.size()));
            PumpMessages();
            ok = MeasureStartups(*catalogues) && ok;
        } else {
            Note("could not write the catalogues");
        }
        if (!scratch.Path().empty())
            RemoveTree(scratch.Path());
    }
    Note("finished");

    ::UnregisterClassW(kHostClass, ::GetModuleHandleW(nullptr));
    ::CoUninitialize();
    return ok ? 0 : 1;
}
