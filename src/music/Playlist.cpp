#include "music/Playlist.h"

#include "base/Text.h"
#include "base/PathParts.h"
#include "base/TextFile.h"

namespace music {

std::vector<std::wstring> SplitLines(std::wstring_view text)
{
    std::vector<std::wstring> lines;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring_view::npos)
            end = text.size();
        if (end > start)
            lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += L"\r\n";
        text += lines[i];
    }
    return text;
}

std::wstring TrackTitle(std::wstring_view path)
{
    return std::wstring(base::StemOf(base::FileNameOf(path)).value_or(std::wstring_view()));
}

std::optional<std::size_t> NextTrackIndex(const std::vector<std::wstring>& playlist, std::wstring_view current)
{
    if (playlist.empty())
        return std::nullopt;
    // The last line is looked at first: a track listed twice, once at the
    // end, wraps round rather than repeating its earlier neighbour.
    if (playlist.back() == current)
        return 0;
    for (size_t i = 0; i + 1 < playlist.size(); ++i)
        if (playlist[i] == current)
            return i + 1;
    return 0;
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += name;
    return path;
}

PlaylistFile LoadPlaylistFile(const std::wstring& path, unsigned codePage)
{
    PlaylistFile file;
    base::ReadError error = base::ReadError::None;
    std::optional<base::DecodedText> text = base::ReadText(path, codePage, kMaxPlaylistBytes, &error);
    if (!text) {
        file.readable = error == base::ReadError::Missing;
        return file;
    }
    file.lines = SplitLines(text->text);
    file.encoding = text->encoding;
    return file;
}

SaveResult SavePlaylistFile(const std::wstring& path, const std::vector<std::wstring>& lines,
                            const PlaylistFile& readAs, unsigned codePage)
{
    const std::wstring text = JoinLines(lines);
    const std::string bytes = readAs.encoding ? base::EncodeFileText(text, *readAs.encoding, codePage)
                                              : base::EncodeFileText(text, codePage);
    if (bytes.size() > kMaxPlaylistBytes)
        return SaveResult::TooLarge;
    return base::WriteFileAtomic(path, bytes) ? SaveResult::Saved : SaveResult::Failed;
}

std::vector<std::wstring> ReadPlaylist(const std::wstring& path, unsigned codePage)
{
    return LoadPlaylistFile(path, codePage).lines;
}

bool WritePlaylist(const std::wstring& path, const std::vector<std::wstring>& lines, unsigned codePage)
{
    return SavePlaylistFile(path, lines, {}, codePage) == SaveResult::Saved;
}

} // namespace music
