#pragma once
// The thread that asks the shell for program pictures while the window goes
// on working: a program on a share that does not answer holds up its own
// picture and those queued behind it, never the window.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace catalogue {

class IconCache;
struct CacheKeep;

// Where pictures come from. Called on the worker thread (its apartment is
// single-threaded COM), never on the window's.
class IconSource {
public:
    virtual ~IconSource() = default;
    // The picture for a program path, pixelSize pixels square, as the bytes
    // of a BMP file; empty for none. The size comes with each request, so a
    // change of scale never races a picture being made.
    [[nodiscard]] virtual std::vector<std::uint8_t> PictureFor(const std::wstring& programPath, int pixelSize) = 0;
};

// The shell's icon on white, drawn for the size (ProgramIconPicture).
class ShellIconSource final : public IconSource {
public:
    [[nodiscard]] std::vector<std::uint8_t> PictureFor(const std::wstring& programPath, int pixelSize) override;
};

struct IconResult {
    int load = 0;
    std::wstring path;
    std::vector<std::uint8_t> picture; // as asked for the load's pixel size
    bool missing = false;              // IsMissingProgram, asked on the worker's thread
    bool unchanged = false;            // the cache's picture still holds (and picture is empty)
};

// Paths are asked for a group at a time: the preferred group's first, then
// the others in group order, each group's in the order they came. Each
// result also says whether the program is gone (IsMissingProgram), so the
// window never waits on the file system for that either. When
// results wait it posts `message` to `notify`, once until they are taken.
//
// With a cache, a path it holds a picture for is only checked (attributes
// alone) and the source asked only when the file is new, changed or was
// missing. A path on a share keeps its picture unchecked, unless the load
// re-checks shares: then it is checked after every other path, and its
// picture replaced only when the share answers and the file has changed.
class IconWorker {
public:
    IconWorker(std::shared_ptr<IconSource> source, HWND notify, UINT message);
    // Waits briefly for the thread; one stuck in the source is left to end
    // on its own (it holds everything it uses).
    ~IconWorker();
    IconWorker(const IconWorker&) = delete;
    IconWorker& operator=(const IconWorker&) = delete;

    // Drops every queued path and waiting result: what follows belongs to
    // load, and its pictures are asked for at pixelSize.
    void StartLoad(int load, int pixelSize, bool recheckShares = false);
    void UseCache(std::shared_ptr<IconCache> cache);
    // Reads the cache on the worker's thread before any path queued after
    // this; paths queued before it are answered without it.
    void ReadCache();
    // Saves the cache (IconCache::Save) once every queued path is answered;
    // a later call replaces one still waiting.
    void SaveCache(int pixelSize, CacheKeep keep);
    void Request(int group, std::wstring path);
    void Prefer(int group);
    [[nodiscard]] std::vector<IconResult> TakeResults();
    // The time spent in the source for the current load's results, in ms.
    [[nodiscard]] double SourceMs() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace catalogue
