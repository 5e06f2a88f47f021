#pragma once
// The catalogue as the file system holds it: one folder per group under the
// root, one "*.txt" file per shortcut holding the program's path. Everything
// is listed in the order the file system returns it.

#include "base/FolderListing.h"

#include <string>
#include <vector>

namespace catalogue {

inline constexpr wchar_t kShortcutExtension[] = L"txt";

// Names of the subfolders of root that do not begin with ".".
[[nodiscard]] std::vector<std::wstring> GroupFolders(const std::wstring& root);

using base::FilesWithExtension;

// How many plain files in folder have the extension.
[[nodiscard]] int CountFiles(const std::wstring& folder, const std::wstring& extension);

inline constexpr unsigned long kMaxShortcutFileBytes = 64 * 1024;

// A shortcut file's program path (see PathFromShortcutBytes). Empty when the
// file is empty, larger than kMaxShortcutFileBytes, binary or cannot be read.
[[nodiscard]] std::wstring ReadShortcutPath(const std::wstring& file, unsigned codePage);

} // namespace catalogue
