#pragma once
// The playlist: one full MP3 path per line of a text file, and the rules
// for naming a track and for which track follows which. Free of Windows
// headers, except for reading and writing the file.

#include "base/TextDecoding.h"

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

// A playlist larger than this is not read: some ten thousand tracks
// fit, and a stray huge file cannot take the program's memory.
inline constexpr std::size_t kMaxPlaylistBytes = 1 << 20;

// The playlist file as read, with what a rewrite needs to know.
struct PlaylistFile {
    std::vector<std::wstring> lines;
    // How the file was written; none for a missing file.
    std::optional<base::TextEncoding> encoding;
    // False when the file exists but could not be read (too large, locked,
    // no access): its lines are unknown, so it must not be written over.
    bool readable = true;
};

[[nodiscard]] PlaylistFile LoadPlaylistFile(const std::wstring& path, unsigned codePage);

enum class SaveResult { Saved, TooLarge, Failed };
// Replaces the whole file at once (never half written), in the encoding it
// was read in, or the code page's rule for a new file. Text that would
// pass kMaxPlaylistBytes is not written: it could never be read back.
[[nodiscard]] SaveResult SavePlaylistFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                                          const PlaylistFile& readAs, unsigned codePage);

// The lines alone; a missing or unreadable file is an empty playlist.
[[nodiscard]] std::vector<std::wstring> ReadPlaylist(const std::wstring& path, unsigned codePage);
// A new file's rule: the code page, or UTF-8 when it cannot hold the text.
[[nodiscard]] bool WritePlaylist(const std::wstring& path, const std::vector<std::wstring>& lines,
                                 unsigned codePage);

} // namespace music
