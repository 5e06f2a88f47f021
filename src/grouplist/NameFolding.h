#pragma once
// How the list's filter compares names. No Windows header: plain text rules.

#include <string>
#include <string_view>

namespace grouplist {

// The text with Latin letters (Basic Latin, Latin-1, Latin Extended-A) in
// lower case and full-width ASCII forms as their plain twins, so "ab", "AB"
// and "ＡＢ" all find "Ab". Every other character stays; the length is kept.
[[nodiscard]] std::wstring FoldForSearch(std::wstring_view text);

} // namespace grouplist
