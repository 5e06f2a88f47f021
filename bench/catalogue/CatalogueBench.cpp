// Loads a 1,000-shortcut catalogue into the list, compares the whole load
// with the share the shell's icons take, counts GDI objects over many
// reloads, and times the program's own start-up with that catalogue.
// Prints name=value figures.

#include "GdiCount.h"
#include "support/BenchSupport.h"
#include "ProcessWindow.h"
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
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using bench::PumpMessages;
using bench::Stopwatch;

constexpr int kGroups = 20;
constexpr int kPerGroup = 50;
constexpr int kShortcuts = kGroups * kPerGroup;
// Fewer distinct programs and the shell would answer mostly from its cache.
constexpr std::size_t kMinPrograms = 30;
constexpr int kRounds = 3;
constexpr int kReloads = 100;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr wchar_t kHostClass[] = L"QuilleryCatalogueBenchHost";
constexpr wchar_t kMainWindowClass[] = L"QuilleryMainWindow";

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

std::wstring TwoDigits(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

std::wstring GroupFolderName(int g)
{
    static constexpr const wchar_t* kTopics[] = {L"常用工具", L"系统", L"办公软件", L"网络", L"影音娱乐"};
    return L"分组" + TwoDigits(g) + L" " + kTopics[g % std::size(kTopics)];
}

// The program's own name in the middle, as users name their shortcuts.
std::wstring ShortcutFileName(int k, const std::wstring& program)
{
    const std::wstring file = program.substr(program.rfind(L'\\') + 1);
    const std::wstring base = file.substr(0, file.rfind(L'.'));
    return L"程序" + std::to_wstring(k) + L" " + base + L" 快捷方式.txt";
}

// kGroups folders of kPerGroup shortcut files under root, cycling through
// the programs. Files hold the path in the ANSI code page, as the program
// writes them.
bool WriteCatalogue(const std::wstring& root, const std::vector<std::wstring>& programs)
{
    int k = 0;
    for (int g = 0; g < kGroups; ++g) {
        const std::wstring folder = root + L"\\" + GroupFolderName(g);
        if (!::CreateDirectoryW(folder.c_str(), nullptr))
            return false;
        for (int i = 0; i < kPerGroup; ++i, ++k) {
            const std::wstring& program = programs[static_cast<std::size_t>(k) % programs.size()];
            const std::wstring file = folder + L"\\" + ShortcutFileName(k, program);
            if (!base::WriteFileAtomic(file, base::EncodeFileText(program, CP_ACP)))
                return false;
        }
    }
    return true;
}

struct LoadFigures {
    double loadMs = 0;
    catalogue::LoadStats stats;
};

LoadFigures TimedLoad(grouplist::GroupedListControl& list, const std::wstring& root, HWND host)
{
    LoadFigures figures;
    const Stopwatch watch;
    catalogue::LoadCatalogue(list, root, host, &figures.stats);
    figures.loadMs = watch.ElapsedMs();
    // Whatever the load posted belongs to it, not to the next figure.
    PumpMessages();
    return figures;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "catalogue_bench: %s\n", what);
    return 1;
}

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return base::FolderOf(path);
}

// One start of a fresh copy of the program with the catalogue: the time from
// CreateProcess until the program first waits for input, which it only does
// once its queue, paint messages included, is empty. Empty on any failure.
std::optional<double> TimedStartup(const std::wstring& programFile, const std::vector<std::wstring>& programs)
{
    const testing_support::ScratchFolder folder(L"qly-bench-");
    if (folder.Path().empty())
        return std::nullopt;
    const std::wstring exe = folder.Path() + L"\\Quillery.exe";
    const std::wstring favorites = folder.Path() + L"\\Favorites";
    if (!::CopyFileW(programFile.c_str(), exe.c_str(), FALSE) || !::CreateDirectoryW(favorites.c_str(), nullptr) ||
        !WriteCatalogue(favorites, programs)) {
        std::fprintf(stderr, "catalogue_bench: could not set up the program folder\n");
        return std::nullopt;
    }

    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const Stopwatch watch;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                          &startup, &info)) {
        std::fprintf(stderr, "catalogue_bench: CreateProcessW failed (%lu)\n", ::GetLastError());
        return std::nullopt;
    }
    const base::UniqueKernelHandle process(info.hProcess);
    const base::UniqueKernelHandle thread(info.hThread);
    const DWORD idle = ::WaitForInputIdle(process.get(), kStartTimeoutMs);
    const double ms = watch.ElapsedMs();

    std::optional<double> result = ms;
    if (idle != 0) {
        std::fprintf(stderr, "catalogue_bench: WaitForInputIdle gave %lu\n", idle);
        result.reset();
    }
    HWND window = testing_support::FindVisibleProcessWindow(info.dwProcessId, kMainWindowClass);
    if (!window) {
        std::fprintf(stderr, "catalogue_bench: no visible main window when the program went idle\n");
        result.reset();
    } else {
        // Paint left pending would mean the figure stopped short of the first paint.
        RECT pending{};
        if (::GetUpdateRect(window, &pending, FALSE))
            std::fprintf(stderr, "catalogue_bench: the main window still had paint pending at idle\n");
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    DWORD code = 0;
    if (::WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "catalogue_bench: the program did not end on WM_CLOSE\n");
        ::TerminateProcess(process.get(), 99);
        ::WaitForSingleObject(process.get(), 5000);
        result.reset();
    } else if (::GetExitCodeProcess(process.get(), &code) && code != 0) {
        std::fprintf(stderr, "catalogue_bench: the program ended with %lu\n", code);
        result.reset();
    }
    return result;
}

} // namespace

int main()
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return Fail("CoInitializeEx failed");
    if (!bench::RegisterHostClass(kHostClass))
        return Fail("RegisterClassExW failed");

    const std::vector<std::wstring> programs = InstalledPrograms();
    if (programs.size() < kMinPrograms) {
        std::fprintf(stderr, "catalogue_bench: only %zu programs found in the Windows folders\n", programs.size());
        return 1;
    }
    const testing_support::ScratchFolder root(L"qly-bench-");
    if (root.Path().empty() || !WriteCatalogue(root.Path(), programs))
        return Fail("could not write the catalogue");

    bool ok = true;
    {
        base::UniqueWindow host(::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"catalogue bench",
                                                  WS_POPUP | WS_VISIBLE, 0, 0, 275, 500, nullptr, nullptr,
                                                  ::GetModuleHandleW(nullptr), nullptr));
        if (!host)
            return Fail("could not create the host window");
        grouplist::GroupedListControl list;
        if (!list.Create(host.get(), 0, 1, false, RGB(255, 255, 255)))
            return Fail("could not create the list");
        PumpMessages();

        // The start count is taken after one untimed load, not before it: by
        // then the list holds one picture bitmap per entry (1,000 objects that
        // every reload replaces one for one), and the shell and Wine have made
        // the objects they keep for the process (image lists, cached fonts).
        // Counted before the first load, all of that would pass for growth.
        // From there a hundred reloads must keep the count level.
        const int gdiBeforeFirstLoad = testing_support::LiveGdiObjects();
        const LoadFigures first = TimedLoad(list, root.Path(), host.get());
        const int gdiStart = testing_support::LiveGdiObjects();
        std::fprintf(stderr, "catalogue_bench: first (cold) load %.1f ms, icons %.1f ms\n", first.loadMs,
                     first.stats.iconMs);

        LoadFigures best;
        for (int round = 0; round < kRounds; ++round) {
            const LoadFigures run = TimedLoad(list, root.Path(), host.get());
            if (run.stats.groups != kGroups || run.stats.entries != kShortcuts) {
                std::fprintf(stderr, "catalogue_bench: a load gave %d groups, %d entries\n", run.stats.groups,
                             run.stats.entries);
                ok = false;
            }
            if (round == 0 || run.loadMs < best.loadMs)
                best = run;
        }
        const LRESULT rows = ::SendMessageW(list.GetWindowHandle(), LB_GETCOUNT, 0, 0);

        // The timed loads are the first of the hundred.
        for (int i = kRounds; i < kReloads; ++i)
            (void)TimedLoad(list, root.Path(), host.get());
        const int gdiAfter = testing_support::LiveGdiObjects();

        std::printf("catalogue_load_ms=%.1f\n", best.loadMs);
        std::printf("catalogue_icon_ms=%.1f\n", best.stats.iconMs);
        std::printf("catalogue_gdi_before_first_load=%d\n", gdiBeforeFirstLoad);
        std::printf("catalogue_gdi_start=%d\n", gdiStart);
        std::printf("catalogue_gdi_after_100_reloads=%d\n", gdiAfter);
        // Groups load collapsed, so the list shows one row per group.
        std::printf("catalogue_rows=%ld\n", static_cast<long>(rows));
        std::printf("catalogue_entries=%d\n", best.stats.entries);
        std::fflush(stdout);
        if (gdiAfter > gdiStart)
            ok = false;
    }
    PumpMessages();

    const std::wstring programFile = BinFolder() + L"\\Quillery.exe";
    if (::GetFileAttributesW(programFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "catalogue_bench: no Quillery.exe beside the benchmark\n");
        ok = false;
    } else {
        std::optional<double> best;
        for (int round = 0; round < kRounds; ++round) {
            const std::optional<double> run = TimedStartup(programFile, programs);
            if (!run) {
                ok = false;
                continue;
            }
            std::fprintf(stderr, "catalogue_bench: start-up %.1f ms\n", *run);
            if (!best || *run < *best)
                best = run;
        }
        if (best)
            std::printf("startup_first_paint_ms=%.1f\n", *best);
        std::fflush(stdout);
    }

    ::UnregisterClassW(kHostClass, ::GetModuleHandleW(nullptr));
    ::CoUninitialize();
    return ok ? 0 : 1;
}
