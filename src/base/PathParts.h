#pragma once
// Cutting paths and file names into their parts, on characters: a byte
// search in an 8-bit code page would find a "\" in the second byte of some
// Chinese characters. No Windows header here.

#include <optional>
#include <string>
#include <string_view>

namespace base {

// After the last "\" or "/"; the whole text when there is none.
[[nodiscard]] std::wstring_view FileNameOf(std::wstring_view path) noexcept;

// Before the last "\" or "/", without it; empty when there is none.
[[nodiscard]] std::wstring FolderOf(std::wstring_view path);

// A file name before its last "."; nothing when it has none, so each caller
// says what a name without one stands for.
[[nodiscard]] std::optional<std::wstring_view> StemOf(std::wstring_view fileName) noexcept;

} // namespace base
