#pragma once
// The program paths of a load's shortcut files, read on a thread of their
// own from the moment the groups are listed: while the window paints and
// waits out its first moment, so the slices that add entries seldom wait on
// the file system (reading a thousand files costs some 150 ms under Wine).
// Files whose program path the icon cache still holds are not read at all.

#include "catalogue/IconCacheFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace catalogue {

class IconCache;

struct ShortcutFile {
    std::wstring path;         // full
    ShortcutIdentity identity; // as the folder's listing gave it, with the code page it is read with
};

class ShortcutReadAhead {
public:
    ShortcutReadAhead() = default;
    ~ShortcutReadAhead(); // the thread stops at its next file
    ShortcutReadAhead(const ShortcutReadAhead&) = delete;
    ShortcutReadAhead& operator=(const ShortcutReadAhead&) = delete;

    // Reads each shortcut file in this order, a slot each, but those the
    // cache (if any; read first, on the thread) still holds; whatever an
    // earlier start still had to read is dropped.
    void Start(std::vector<ShortcutFile> files, std::shared_ptr<IconCache> cache);
    // The path read for the slot (ReadShortcutPath), once the thread has
    // been there. Asked once per slot: the thread skips a slot asked before
    // it got there, as the caller reads that file itself.
    [[nodiscard]] std::optional<std::wstring> Take(std::size_t slot);

    struct Batch;

private:
    std::shared_ptr<Batch> m_batch;
};

} // namespace catalogue
