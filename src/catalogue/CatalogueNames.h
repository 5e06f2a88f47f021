#pragma once
// Name and path cutting for the catalogue. Both work on characters, never on
// the bytes of an 8-bit code page, where the second byte of some Chinese
// characters looks like a backslash.

#include "base/FolderListing.h"

#include <string>
#include <string_view>

namespace catalogue {

// A file name without its extension: the text before the last "." (the whole
// name when there is none). "a.b.txt" gives "a.b".
[[nodiscard]] std::wstring BaseName(std::wstring_view fileName);

// The path up to and including its last "\"; empty when it has none.
[[nodiscard]] std::wstring DirectoryOf(std::wstring_view path);

using base::HasExtension;

} // namespace catalogue
