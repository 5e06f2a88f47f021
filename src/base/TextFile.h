#pragma once
// Whole-file reads and writes. A rewrite goes to a temporary file in the
// same folder that then replaces the old one, so a crash or a full disk
// never leaves half a file behind.

#include "base/PathParts.h"
#include "base/TextDecoding.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace base {

inline constexpr std::size_t kAnySize = std::numeric_limits<int>::max();

// Why a read gave nothing: the caller may create a missing file, but must
// not write over one it could not read.
enum class ReadError { None, Missing, TooLarge, Failed };

// The whole file, when it is no larger than maxBytes; a larger one is not
// read into memory at all.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t maxBytes = kAnySize,
                                                       ReadError* error = nullptr);
[[nodiscard]] bool WriteFileAtomic(const std::wstring& path, std::string_view bytes);

// Every text file the program reads comes through here (see Text.h for how
// the encoding is told). ReadText also says which encoding it found, so a
// rewrite can keep it.
[[nodiscard]] std::optional<DecodedText> ReadText(const std::wstring& path, unsigned codePage,
                                                  std::size_t maxBytes = kAnySize, ReadError* error = nullptr);
[[nodiscard]] std::optional<std::wstring> ReadTextFile(const std::wstring& path, unsigned codePage,
                                                       std::size_t maxBytes = kAnySize, ReadError* error = nullptr);
// New text: the code page, or UTF-8 with a mark when the code page cannot
// hold it. With an encoding: the one the file was read in.
[[nodiscard]] bool WriteTextFile(const std::wstring& path, std::wstring_view text, unsigned codePage);
[[nodiscard]] bool WriteTextFile(const std::wstring& path, std::wstring_view text, TextEncoding encoding,
                                 unsigned codePage);

// A new empty file "qly….tmp" in folder, under a name this process has not
// used before; empty when none could be made. Unlike GetTempFileNameW, it
// takes folders of any length.
[[nodiscard]] std::wstring CreateTemporaryFile(const std::wstring& folder);

} // namespace base
