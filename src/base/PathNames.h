#pragma once
// The file system's two spellings of an existing path: the 8.3 form and
// the long one, for paths of any length.

#include <string>

namespace base {

// Without the "\\?\" prefix, whether given with it or not. Empty when the
// file system cannot say (a missing file, say). A volume that keeps no 8.3
// names gives such components back long.
[[nodiscard]] std::wstring ShortPathName(const std::wstring& path);
[[nodiscard]] std::wstring LongPathName(const std::wstring& path);

} // namespace base
