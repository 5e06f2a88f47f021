#pragma once
// The bytes of IconCache.dat, the program pictures kept between starts, and
// where each shortcut file pointed when it was last read. No Windows header
// here, so the reader also builds natively and is fuzzed.
//
// All numbers are little-endian:
//   header   the magic "QIC\x1A", u32 version, u32 number of records
//   records  u32 kind, u32 length of what follows, that many bytes
//   trailer  u32 CRC-32 (IEEE 802.3) of every byte before it
// A picture record (kind 1) is a picture's bytes. A path record (kind 2) is
// u32 pixel size, u64 file size, u64 last-write time, u32 flags, u32 the
// index of an earlier picture record among the picture records, then the
// path's UTF-16 units. Identical pictures are written once, whatever the
// number of paths that show them. A shortcut record (kind 3) is u64 file
// size, u64 last-write time, u64 file number, u32 code page, u32 the number
// of UTF-16 units of the shortcut file's path, those units, then the
// program path's units.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

inline constexpr std::uint32_t kIconCacheVersion = 2;
// A larger file is not read at all: no realistic catalogue comes near it.
inline constexpr std::size_t kIconCacheMaxBytes = std::size_t{64} << 20;

// Shared between every path that shows the same picture; never null in a
// record. No bytes: the program had no picture.
using PictureBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// What identified a program file when its picture was made.
struct FileStamp {
    bool known = false; // false: nothing identified it (gone, unreadable, not a path to check): never matches
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0; // in FILETIME units
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct CachedPicture {
    std::wstring path; // UTF-16 units
    int pixelSize = 0;
    FileStamp stamp;
    bool missing = false; // the program was gone when the picture was made
    PictureBytes picture;
};

// What identified a shortcut file when it was read: while all of it holds,
// so does the program path read from it.
struct ShortcutIdentity {
    FileStamp stamp;            // always known
    std::uint64_t fileId = 0;   // its number on the volume (base::ListedFile)
    std::uint32_t codePage = 0; // the code page its text was read with
    friend bool operator==(const ShortcutIdentity&, const ShortcutIdentity&) = default;
};

struct CachedShortcut {
    std::wstring file; // the shortcut file's full path
    ShortcutIdentity identity;
    std::wstring program; // the program path it held; never empty
};

struct IconCacheContents {
    std::vector<CachedPicture> pictures;
    std::vector<CachedShortcut> shortcuts;
};

[[nodiscard]] std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0) noexcept;

// The file's bytes, pictures first. Records that would take it past
// maxBytes are left out (the file stays readable); so are records without a
// path, a picture or a program.
[[nodiscard]] std::string EncodeIconCache(const IconCacheContents& contents,
                                          std::size_t maxBytes = kIconCacheMaxBytes);

// Every record, or nothing when the bytes are anything but a whole, intact
// file of this version: short, too large, corrupt or of another version.
[[nodiscard]] std::optional<IconCacheContents> DecodeIconCache(std::string_view bytes);

} // namespace catalogue
