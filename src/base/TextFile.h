#pragma once
// Whole-file reads and writes. A rewrite goes to a temporary file in the
// same folder that then replaces the old one, so a crash or a full disk
// never leaves half a file behind.

#include <optional>
#include <string>
#include <string_view>

namespace base {

[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path);
[[nodiscard]] bool WriteFileAtomic(const std::wstring& path, std::string_view bytes);

// Text files of the program: the ANSI code page, or UTF-8 with a mark when
// the code page cannot hold the text (see Text.h).
[[nodiscard]] std::optional<std::wstring> ReadTextFile(const std::wstring& path, unsigned codePage);
[[nodiscard]] bool WriteTextFile(const std::wstring& path, std::wstring_view text, unsigned codePage);

// A new empty file "qly….tmp" in folder, under a name this process has not
// used before; empty when none could be made. Unlike GetTempFileNameW, it
// takes folders of any length.
[[nodiscard]] std::wstring CreateTemporaryFile(const std::wstring& folder);

// The folder part of a path, without the trailing separator; empty if none.
[[nodiscard]] std::wstring FolderOf(const std::wstring& path);

} // namespace base
