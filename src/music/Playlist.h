#pragma once
// The playlist: one full MP3 path per line of a text file, and the rules
// for naming a track and for which track follows which. Free of Windows
// headers, except for reading and writing the file.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace music {

inline constexpr wchar_t kTrackExtension[] = L"mp3";

// The lines of a playlist text, split at "\r\n". Blank lines name no track
// and are left out.
[[nodiscard]] std::vector<std::wstring> SplitLines(std::wstring_view text);
// Lines joined with "\r\n", none after the last.
[[nodiscard]] std::wstring JoinLines(const std::vector<std::wstring>& lines);

// The file name of path without its last extension: D:\音乐\a.b.mp3 gives
// a.b. A name without "." gives the empty text. Cut on characters.
[[nodiscard]] std::wstring TrackTitle(std::wstring_view path);

// Where the track after `current` stands: the first line when current is
// the last line or not in the playlist, otherwise the line after current's
// first occurrence. Nothing for an empty playlist.
[[nodiscard]] std::optional<std::size_t> NextTrackIndex(const std::vector<std::wstring>& playlist,
                                                        std::wstring_view current);

// folder + "\" + name, without doubling the separator of a drive root.
[[nodiscard]] std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The playlist file; a missing or unreadable file is an empty playlist.
[[nodiscard]] std::vector<std::wstring> ReadPlaylist(const std::wstring& path, unsigned codePage);
// Replaces the whole file at once (never half written).
[[nodiscard]] bool WritePlaylist(const std::wstring& path, const std::vector<std::wstring>& lines,
                                 unsigned codePage);

} // namespace music
