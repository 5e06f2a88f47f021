#pragma once
// Writing to the catalogue: group folders and shortcut files. Every name
// that becomes part of a path is checked first, so no write can leave the
// catalogue root or land on a device.

#include <string>
#include <string_view>

namespace catalogue {

enum class NameProblem {
    None,
    Empty,
    ForbiddenCharacter, // \ / : * ? " < > | or a control character
    DotName,            // "." or ".."
    TrailingDotOrSpace, // the file system would drop them and name another file
    DeviceName,         // CON, NUL, COM1, "con.txt"... open a device, not a file
    LeadingDot,         // a group the catalogue would never show
};

[[nodiscard]] NameProblem CheckName(std::wstring_view name) noexcept;
[[nodiscard]] inline bool IsSafeName(std::wstring_view name) noexcept
{
    return CheckName(name) == NameProblem::None;
}
// CheckName, and no leading ".": the catalogue keeps such folders out of
// sight, so a group by that name would be made and never seen.
[[nodiscard]] NameProblem CheckGroupName(std::wstring_view name) noexcept;

enum class WriteResult {
    Written,
    RefusedName,  // the group's name, or the shortcut's
    RefusedGroup, // the shortcut's group name
    MissingGroup, // the group folder does not exist
    NameTaken,    // the group has a shortcut of that name holding another path
    Failed,
};

enum class IfNameTaken { Keep, Replace };

// root\name as a folder; one that already exists counts as made.
[[nodiscard]] WriteResult CreateGroup(const std::wstring& root, std::wstring_view name);

// root\group\name.txt holding exactly path. A file of that name (in any
// case) that already holds path counts as written and is left as it is;
// one holding anything else is replaced only when told to. The group
// folder must exist: this never creates one.
[[nodiscard]] WriteResult WriteShortcut(const std::wstring& root, std::wstring_view group, std::wstring_view name,
                                        std::wstring_view path, unsigned codePage, IfNameTaken ifTaken);

} // namespace catalogue
