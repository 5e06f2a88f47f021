#pragma once
// Conversions between the program's UTF-16 text and the 8-bit text of its
// files. The code page is a parameter so tests can pin 936 or 1252; the
// program passes CP_ACP.

#include "base/TextDecoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace base {

// Bytes in the given code page (or CP_UTF8) to UTF-16. Invalid sequences
// become U+FFFD rather than failing the whole text.
[[nodiscard]] std::wstring Widen(std::string_view bytes, unsigned codePage);

// UTF-16 to the code page, only when every character survives the trip;
// empty optional when one would be lost or replaced by a best-fit look-alike.
[[nodiscard]] std::optional<std::string> NarrowExact(std::wstring_view text, unsigned codePage);

[[nodiscard]] std::string ToUtf8(std::wstring_view text);

// A file's bytes as text: after a byte-order mark UTF-8 or UTF-16; valid
// UTF-8 holding a multi-byte sequence as UTF-8 (editors save it without a
// mark); anything else in the code page. DecodeFile also says which.
[[nodiscard]] DecodedText DecodeFile(std::string_view bytes, unsigned codePage);
[[nodiscard]] std::wstring DecodeFileText(std::string_view bytes, unsigned codePage);

// Text as a new file's bytes: the code page when it holds the text exactly
// and the bytes read back as that code page, otherwise UTF-8 with a
// byte-order mark, so no character is ever lost.
[[nodiscard]] std::string EncodeFileText(std::wstring_view text, unsigned codePage);

// Text as the bytes of a file that was read as `encoding`, so a rewrite
// keeps what an editor chose; the code page falls back as EncodeFileText does.
[[nodiscard]] std::string EncodeFileText(std::wstring_view text, TextEncoding encoding, unsigned codePage);

} // namespace base
