#pragma once
// Program pictures kept between starts in a file (IconCache.dat beside
// Instal.ini), so the list shows every icon the moment it fills instead of
// waiting for the shell again. Each picture is kept for a path (compared as
// the file system compares, without regard to case) and a pixel size, with
// what identified the program's file when it was made. And so that an
// unchanged catalogue is not read again, each shortcut file's program path,
// with what identified the shortcut file when it was read.
//
// Shared by the window thread, which looks pictures and shortcuts up and
// stores the shortcuts it read, the shortcut read-ahead, which may read the
// file and looks shortcuts up, and the icon worker, which reads the file,
// checks the program files, stores their pictures and saves. Every call is
// safe from any of them, and none holds the lock over file work.

#include "catalogue/IconCacheFormat.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace catalogue {

// What a save keeps (without regard to case); the rest is forgotten.
struct CacheKeep {
    std::vector<std::wstring> programs;  // their pictures
    std::vector<std::wstring> shortcuts; // what these shortcut files held
};

class IconCache {
public:
    explicit IconCache(std::wstring file);
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;

    [[nodiscard]] const std::wstring& File() const noexcept { return m_file; }

    // Reads the file the first time; later calls do nothing. A file that is
    // missing, unreadable, short, corrupt, of another version or too large
    // leaves the cache empty, and the next save makes it anew.
    void Read();
    [[nodiscard]] bool IsRead() const noexcept { return m_read.load(std::memory_order_acquire); }

    [[nodiscard]] std::optional<CachedPicture> Find(const std::wstring& path, int pixelSize) const;
    // The picture made for a path just now. Counts as a change only when
    // it differs from the one kept.
    void Store(const std::wstring& path, int pixelSize, const FileStamp& stamp, PictureBytes picture, bool missing);

    // The program path the shortcut file held, if it is still the file it
    // was then, read with the same code page.
    [[nodiscard]] std::optional<std::wstring> FindShortcut(const std::wstring& file,
                                                           const ShortcutIdentity& identity) const;
    void StoreShortcut(CachedShortcut shortcut);

    // Writes the file when anything changed since it was read or last
    // written. Only pictures of pixelSize are kept, and with `keep` only
    // what it names: the others are forgotten. False when the file
    // cannot be written (a read-only folder, a folder in its place); the
    // program goes on without it, and the next save tries again. Nothing is
    // written before the file has been read, so a save never loses it.
    [[nodiscard]] bool Save(int pixelSize, const CacheKeep* keep = nullptr);

private:
    [[nodiscard]] static std::wstring KeyOf(const std::wstring& path, int pixelSize);
    [[nodiscard]] static std::wstring KeyOf(const std::wstring& file);

    const std::wstring m_file;
    std::atomic<bool> m_read{false};
    std::once_flag m_readOnce;
    std::mutex m_saving; // one save at a time, so the last one written holds the latest
    mutable std::mutex m_lock;
    std::unordered_map<std::wstring, CachedPicture> m_pictures;   // by KeyOf(path, size)
    std::unordered_map<std::wstring, CachedShortcut> m_shortcuts; // by KeyOf(file)
    bool m_changed = false; // since the file was read or written
};

} // namespace catalogue
