#pragma once
// Paths past the old length limit. Without the system's long-path policy,
// file functions refuse such paths unless they carry the "\\?\" prefix,
// which turns off every other rewriting the system would do. No Windows
// header here, so the logic also builds natively.

#include <string>

namespace base {

// Paths shorter than this are passed on as they are: MAX_PATH less room for
// an 8.3 name, the limit for a folder.
inline constexpr std::size_t kLongPathFrom = 260 - 12;

// An absolute drive or UNC path of kLongPathFrom characters or more in the
// "\\?\C:\..." or "\\?\UNC\server\share\..." form, with "/" made "\" and
// "." and ".." segments resolved, as the system would have done. Shorter,
// relative and already prefixed paths come back unchanged.
[[nodiscard]] std::wstring ExtendedPath(const std::wstring& path);

// The plain form of a "\\?\" path, for places that show a path or hand it
// to the shell; any other path comes back unchanged.
[[nodiscard]] std::wstring WithoutExtendedPrefix(const std::wstring& path);

} // namespace base
