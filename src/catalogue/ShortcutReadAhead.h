#pragma once
// The program paths of a load's shortcut files, read on a thread of their
// own from the moment the groups are listed: while the window paints and
// waits out its first moment, so the slices that add entries seldom wait on
// the file system (reading a thousand files costs some 150 ms under Wine).

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace catalogue {

class ShortcutReadAhead {
public:
    ShortcutReadAhead() = default;
    ~ShortcutReadAhead(); // the thread stops at its next file
    ShortcutReadAhead(const ShortcutReadAhead&) = delete;
    ShortcutReadAhead& operator=(const ShortcutReadAhead&) = delete;

    // Reads each shortcut file (a full path) in this order, a slot each;
    // whatever an earlier start still had to read is dropped.
    void Start(std::vector<std::wstring> files, unsigned codePage);
    // The path read for the slot (ReadShortcutPath), once the thread has
    // been there. Asked once per slot: the thread skips a slot asked before
    // it got there, as the caller reads that file itself.
    [[nodiscard]] std::optional<std::wstring> Take(std::size_t slot);

    struct Batch;

private:
    std::shared_ptr<Batch> m_batch;
};

} // namespace catalogue
