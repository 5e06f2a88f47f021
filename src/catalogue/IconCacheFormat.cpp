#include "catalogue/IconCacheFormat.h"

#include "base/Hashing.h"

#include <array>
#include <span>
#include <unordered_map>

namespace catalogue {

namespace {

constexpr char kMagic[4] = {'Q', 'I', 'C', '\x1A'};
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kRecordHeadBytes = 8;
constexpr std::size_t kTrailerBytes = 4;
constexpr std::size_t kPathFixedBytes = 4 + 8 + 8 + 4 + 4;
constexpr std::uint32_t kPictureRecord = 1;
constexpr std::uint32_t kPathRecord = 2;
constexpr std::uint32_t kShortcutRecord = 3;
constexpr std::size_t kShortcutFixedBytes = 8 + 8 + 8 + 4 + 4;
constexpr std::uint32_t kStampKnown = 1;
constexpr std::uint32_t kMissing = 2;
// The longest path the system takes, and more pixels than any screen's icon.
constexpr std::size_t kMostPathUnits = 32767;
constexpr int kMostPixels = 1024;

constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, std::uint64_t value)
{
    PutU32(out, static_cast<std::uint32_t>(value));
    PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutUnits(std::string& out, const std::wstring& text)
{
    for (const wchar_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

// Reads forward through bytes that are known to be long enough.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : m_bytes(bytes) {}
    [[nodiscard]] std::size_t Left() const { return m_bytes.size() - m_at; }
    [[nodiscard]] std::uint32_t U32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_at++])) << (8 * i);
        return value;
    }
    [[nodiscard]] std::uint64_t U64()
    {
        const std::uint64_t low = U32();
        return low | (static_cast<std::uint64_t>(U32()) << 32);
    }
    [[nodiscard]] std::string_view Take(std::size_t count)
    {
        const std::string_view part = m_bytes.substr(m_at, count);
        m_at += count;
        return part;
    }
    [[nodiscard]] std::wstring Units(std::size_t count)
    {
        std::wstring text;
        text.reserve(count);
        for (std::size_t u = 0; u < count; ++u) {
            const std::string_view unit = Take(2);
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(unit[0]) |
                                                (static_cast<unsigned char>(unit[1]) << 8)));
        }
        return text;
    }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

std::uint64_t ContentHash(const std::vector<std::uint8_t>& bytes)
{
    return base::Fnv1a(std::span<const std::uint8_t>(bytes)) ^ bytes.size();
}

// The picture records written so far: each distinct picture once.
class PictureTable {
public:
    // The index the picture has or would get, and whether it is new.
    std::pair<std::uint32_t, bool> Find(const PictureBytes& picture)
    {
        if (const auto same = m_byPointer.find(picture.get()); same != m_byPointer.end())
            return {same->second, false};
        const auto [first, last] = m_byContent.equal_range(ContentHash(*picture));
        for (auto it = first; it != last; ++it)
            if (*m_pictures[it->second] == *picture)
                return {it->second, false};
        return {static_cast<std::uint32_t>(m_pictures.size()), true};
    }
    void Add(const PictureBytes& picture)
    {
        const auto index = static_cast<std::uint32_t>(m_pictures.size());
        m_pictures.push_back(picture);
        m_byPointer.emplace(picture.get(), index);
        m_byContent.emplace(ContentHash(*picture), index);
    }

private:
    std::vector<PictureBytes> m_pictures;
    std::unordered_map<const void*, std::uint32_t> m_byPointer;
    std::unordered_multimap<std::uint64_t, std::uint32_t> m_byContent;
};

} // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) noexcept
{
    crc = ~crc;
    for (const char b : bytes)
        crc = kCrcTable[(crc ^ static_cast<unsigned char>(b)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string EncodeIconCache(const IconCacheContents& contents, std::size_t maxBytes)
{
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, kIconCacheVersion);
    PutU32(out, 0); // the count, once known
    std::uint32_t count = 0;
    const auto fits = [&](std::size_t bytes) { return out.size() + bytes + kTrailerBytes <= maxBytes; };
    PictureTable pictures;
    for (const CachedPicture& record : contents.pictures) {
        if (!record.picture || record.path.empty() || record.path.size() > kMostPathUnits || record.pixelSize <= 0 ||
            record.pixelSize > kMostPixels)
            continue;
        const auto [index, added] = pictures.Find(record.picture);
        const std::size_t pictureBytes = added ? kRecordHeadBytes + record.picture->size() : 0;
        const std::size_t pathBytes = kRecordHeadBytes + kPathFixedBytes + 2 * record.path.size();
        if (record.picture->size() > UINT32_MAX || !fits(pictureBytes + pathBytes))
            continue;
        if (added) {
            pictures.Add(record.picture);
            PutU32(out, kPictureRecord);
            PutU32(out, static_cast<std::uint32_t>(record.picture->size()));
            out.append(reinterpret_cast<const char*>(record.picture->data()), record.picture->size());
            ++count;
        }
        PutU32(out, kPathRecord);
        PutU32(out, static_cast<std::uint32_t>(pathBytes - kRecordHeadBytes));
        PutU32(out, static_cast<std::uint32_t>(record.pixelSize));
        PutU64(out, record.stamp.known ? record.stamp.size : 0);
        PutU64(out, record.stamp.known ? record.stamp.writeTime : 0);
        PutU32(out, (record.stamp.known ? kStampKnown : 0) | (record.missing ? kMissing : 0));
        PutU32(out, index);
        PutUnits(out, record.path);
        ++count;
    }
    for (const CachedShortcut& record : contents.shortcuts) {
        const std::size_t bytes = kRecordHeadBytes + kShortcutFixedBytes + 2 * (record.file.size() + record.program.size());
        if (!record.identity.stamp.known || record.file.empty() || record.file.size() > kMostPathUnits ||
            record.program.empty() || record.program.size() > kMostPathUnits || !fits(bytes))
            continue;
        PutU32(out, kShortcutRecord);
        PutU32(out, static_cast<std::uint32_t>(bytes - kRecordHeadBytes));
        PutU64(out, record.identity.stamp.size);
        PutU64(out, record.identity.stamp.writeTime);
        PutU64(out, record.identity.fileId);
        PutU32(out, record.identity.codePage);
        PutU32(out, static_cast<std::uint32_t>(record.file.size()));
        PutUnits(out, record.file);
        PutUnits(out, record.program);
        ++count;
    }
    for (int i = 0; i < 4; ++i)
        out[8 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    PutU32(out, Crc32(out));
    return out;
}

std::optional<IconCacheContents> DecodeIconCache(std::string_view bytes)
{
    if (bytes.size() < kHeaderBytes + kTrailerBytes || bytes.size() > kIconCacheMaxBytes)
        return std::nullopt;
    const std::string_view body = bytes.substr(0, bytes.size() - kTrailerBytes);
    if (Cursor(bytes.substr(body.size())).U32() != Crc32(body))
        return std::nullopt;
    Cursor in(body);
    if (in.Take(sizeof kMagic) != std::string_view(kMagic, sizeof kMagic) || in.U32() != kIconCacheVersion)
        return std::nullopt;
    const std::uint32_t count = in.U32();

    std::vector<PictureBytes> pictures;
    IconCacheContents contents;
    for (std::uint32_t r = 0; r < count; ++r) {
        if (in.Left() < kRecordHeadBytes)
            return std::nullopt;
        const std::uint32_t kind = in.U32();
        const std::uint32_t length = in.U32();
        if (length > in.Left())
            return std::nullopt;
        Cursor record(in.Take(length));
        if (kind == kPictureRecord) {
            const std::string_view picture = record.Take(length);
            pictures.push_back(std::make_shared<const std::vector<std::uint8_t>>(picture.begin(), picture.end()));
            continue;
        }
        if (kind == kShortcutRecord) {
            if (length < kShortcutFixedBytes || (length - kShortcutFixedBytes) % 2 != 0)
                return std::nullopt;
            CachedShortcut shortcut;
            shortcut.identity.stamp.known = true;
            shortcut.identity.stamp.size = record.U64();
            shortcut.identity.stamp.writeTime = record.U64();
            shortcut.identity.fileId = record.U64();
            shortcut.identity.codePage = record.U32();
            const std::size_t fileUnits = record.U32();
            const std::size_t units = record.Left() / 2;
            if (fileUnits == 0 || fileUnits > kMostPathUnits || fileUnits >= units || units - fileUnits > kMostPathUnits)
                return std::nullopt;
            shortcut.file = record.Units(fileUnits);
            shortcut.program = record.Units(units - fileUnits);
            contents.shortcuts.push_back(std::move(shortcut));
            continue;
        }
        if (kind != kPathRecord || length < kPathFixedBytes || (length - kPathFixedBytes) % 2 != 0)
            return std::nullopt;
        CachedPicture path;
        const std::uint32_t pixels = record.U32();
        path.stamp.size = record.U64();
        path.stamp.writeTime = record.U64();
        const std::uint32_t flags = record.U32();
        const std::uint32_t index = record.U32();
        const std::size_t units = record.Left() / 2;
        if (pixels == 0 || pixels > kMostPixels || (flags & ~(kStampKnown | kMissing)) != 0 ||
            index >= pictures.size() || units == 0 || units > kMostPathUnits)
            return std::nullopt;
        path.pixelSize = static_cast<int>(pixels);
        path.stamp.known = (flags & kStampKnown) != 0;
        if (!path.stamp.known && (path.stamp.size != 0 || path.stamp.writeTime != 0))
            return std::nullopt;
        path.missing = (flags & kMissing) != 0;
        path.picture = pictures[index];
        path.path = record.Units(units);
        contents.pictures.push_back(std::move(path));
    }
    if (in.Left() != 0)
        return std::nullopt; // bytes no record accounts for
    return contents;
}

} // namespace catalogue
