#pragma once
// Changing what the catalogue already holds, from the list's menus:
// renaming a shortcut or a group, sending either to the recycle bin, and
// the name a new group gets. Names are checked as the management panel
// checks them, and nothing is ever overwritten.

#include "catalogue/IconCacheFormat.h"

#include <array>
#include <string>
#include <string_view>

namespace catalogue {

enum class EditResult {
    Done,
    RefusedName, // CheckName refuses it, or a group's name begins with "."
    NameTaken,   // another shortcut or group already has it
    Missing,     // what was to change is gone, or its name cannot name one item of the folder
    Failed,
};

// root\group\from.txt becomes root\group\to.txt, moved, its content as it
// was. A change of case only is a rename too.
[[nodiscard]] EditResult RenameShortcut(const std::wstring& root, std::wstring_view group, std::wstring_view from,
                                        std::wstring_view to);
// root\from becomes root\to with everything in it.
[[nodiscard]] EditResult RenameGroup(const std::wstring& root, std::wstring_view from, std::wstring_view to);

// A file or a folder with everything in it moved to the recycle bin, from
// where the user can restore it; without any dialog of the shell's own.
// False when it is still there, and for paths the shell cannot take: not
// absolute, holding a wildcard, or MAX_PATH characters or longer.
[[nodiscard]] bool MoveToRecycleBin(const std::wstring& path);

// "新建分组", or "新建分组 (2)", "新建分组 (3)"... when that is taken by a
// folder or a file. Empty in the unlikely case that every number is taken.
[[nodiscard]] std::wstring UnusedGroupName(const std::wstring& root);

// The system's type of each drive letter (GetDriveTypeW), asked once: the
// call costs about a millisecond under Wine, and a load checks hundreds of
// paths on a few drives. For one thread over one load; a drive mapped or
// unplugged meanwhile shows in the next.
class DriveTypes {
public:
    [[nodiscard]] unsigned Of(wchar_t letter);

private:
    std::array<unsigned, 26> m_types{}; // 0 (unknown): not asked yet
};

// Whether a shortcut's program is gone, asking only where the answer comes at
// once: an absolute path on a local drive (fixed, removable or RAM disk) that
// the file system says does not exist (file or path not found). A UNC path, a
// mapped network drive, a CD drive, a drive letter that names nothing, a
// relative name (found on PATH by the shell) or an empty path is never missing.
[[nodiscard]] bool IsMissingProgram(const std::wstring& path);
[[nodiscard]] bool IsMissingProgram(const std::wstring& path, DriveTypes& drives);

// Whether a program path is on a share: a UNC path, or a drive letter the
// system maps to one. Its file system may take long to answer, or never.
[[nodiscard]] bool IsOnShare(const std::wstring& path, DriveTypes& drives);

// What identifies a program's file now (its size and last-write time), from
// its attributes alone. Only absolute paths are looked at: a relative name is
// found on PATH by the shell, so the file there says nothing. `answered` is
// false when the file system holding it did not answer (a share that is off
// or out of reach), as against saying that it is not there.
struct ProgramFileCheck {
    FileStamp stamp;
    bool answered = true;
};
[[nodiscard]] ProgramFileCheck CheckProgramFile(const std::wstring& path);

// Whether two names are one to the file system (without regard to case).
[[nodiscard]] bool SameFileName(std::wstring_view a, std::wstring_view b) noexcept;

} // namespace catalogue
