#pragma once
// Listing a folder's subfolders and its files of one extension, in the order
// the file system returns them.

#include <string>
#include <string_view>
#include <vector>

namespace base {

// Names of the subfolders of folder, without "." and "..".
[[nodiscard]] std::vector<std::wstring> SubfolderNames(const std::wstring& folder);

// Names of the plain files in folder with the extension (no dot, any case).
[[nodiscard]] std::vector<std::wstring> FilesWithExtension(const std::wstring& folder,
                                                           const std::wstring& extension);

// Whether a file name's extension (after its last ".") is `extension`,
// ignoring case. The file system's own pattern matching also matches short
// 8.3 names ("*.txt" finds "notes.txta"), which callers must not count.
[[nodiscard]] bool HasExtension(std::wstring_view fileName, std::wstring_view extension);

} // namespace base
