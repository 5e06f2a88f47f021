// The icon cache's file: what is written reads back the same with each
// picture once, every kind of bad file is refused whole and made anew, and
// a cache that cannot be written is skipped without harm.

#include "catalogue/IconCache.h"
#include "catalogue/IconCacheFormat.h"

#include "base/Handles.h"
#include "base/TextFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using catalogue::CachedPicture;
using catalogue::CachedShortcut;
using catalogue::DecodeIconCache;
using catalogue::EncodeIconCache;

namespace {

catalogue::PictureBytes Picture(std::size_t size, std::uint8_t value)
{
    return std::make_shared<const std::vector<std::uint8_t>>(size, value);
}

// The checksum put right after a change, so the change itself is judged.
std::string WithChecksum(std::string bytes)
{
    const std::uint32_t crc = catalogue::Crc32(std::string_view(bytes).substr(0, bytes.size() - 4));
    for (int i = 0; i < 4; ++i)
        bytes[bytes.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return bytes;
}

// Three pictures of programs, then where a shortcut file pointed.
catalogue::IconCacheContents FourRecords()
{
    return {{
                {L"C:\\工具\\a.exe", 32, {true, 4096, 0x01D9000011112222ull}, false, Picture(100, 1)},
                {L"\\\\server\\share\\b.exe", 32, {true, 7, 8}, false, Picture(100, 1)}, // the same picture
                {L"C:\\gone.exe", 48, {}, true, Picture(0, 0)},
            },
            {{L"D:\\Q\\Favorites\\工具\\a.txt", {{true, 12, 0x01D9000033334444ull}, 0x0001000000004321ull, 936},
              L"C:\\工具\\a.exe"}}};
}

} // namespace

TEST(IconCacheFormat, WhatIsWrittenReadsBackWithEachPictureOnce)
{
    const std::string bytes = EncodeIconCache(FourRecords());
    EXPECT_EQ(bytes.size(),
              12u + (8 + 100) + (8 + 0) + 3 * (8 + 28) + 2 * (11 + 20 + 11) + (8 + 32 + 2 * (23 + 11)) + 4)
        << "the shared picture is written once";
    const auto read = DecodeIconCache(bytes);
    ASSERT_TRUE(read);
    const catalogue::IconCacheContents wrote = FourRecords();
    ASSERT_EQ(read->pictures.size(), wrote.pictures.size());
    for (std::size_t i = 0; i < wrote.pictures.size(); ++i) {
        const CachedPicture& back = read->pictures[i];
        EXPECT_EQ(back.path, wrote.pictures[i].path);
        EXPECT_EQ(back.pixelSize, wrote.pictures[i].pixelSize);
        EXPECT_EQ(back.stamp, wrote.pictures[i].stamp);
        EXPECT_EQ(back.missing, wrote.pictures[i].missing);
        EXPECT_EQ(*back.picture, *wrote.pictures[i].picture);
    }
    EXPECT_EQ(read->pictures[0].picture, read->pictures[1].picture) << "shared in memory too";
    ASSERT_EQ(read->shortcuts.size(), 1u);
    const CachedShortcut& shortcut = read->shortcuts[0];
    EXPECT_EQ(shortcut.file, wrote.shortcuts[0].file);
    EXPECT_EQ(shortcut.identity, wrote.shortcuts[0].identity);
    EXPECT_EQ(shortcut.program, wrote.shortcuts[0].program);

    // Past the size limit whole records are left out, and the rest still reads.
    const auto cut = DecodeIconCache(EncodeIconCache(FourRecords(), 12 + 108 + 36 + 22 + 4));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->pictures.size(), 1u);
    EXPECT_TRUE(cut->shortcuts.empty());
}

TEST(IconCacheFormat, EveryKindOfBadFileIsRefusedWhole)
{
    const std::string good = EncodeIconCache(FourRecords());
    ASSERT_TRUE(DecodeIconCache(good));
    const auto refused = [](const std::string& bytes) { return !DecodeIconCache(bytes).has_value(); };
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused(good.substr(0, 15)));
    EXPECT_TRUE(refused(WithChecksum(good.substr(0, good.size() - 20) + "crc!"))) << "a record cut short";
    EXPECT_TRUE(refused(WithChecksum(good.substr(0, good.size() - 4) + "more" + "crc!"))) << "bytes after the records";
    for (std::size_t at = 0; at < good.size(); at += 7) {
        std::string flipped = good;
        flipped[at] ^= 0x10;
        EXPECT_TRUE(refused(flipped)) << "a byte changed at " << at;
    }
    const auto changed = [&](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return WithChecksum(bytes);
    };
    EXPECT_TRUE(refused(changed(0, 'X'))) << "another magic";
    EXPECT_TRUE(refused(changed(4, 1))) << "the version before";
    EXPECT_TRUE(refused(changed(8, 9))) << "more records than there are";
    EXPECT_TRUE(refused(changed(12, 7))) << "a kind of record this version has not";
    // The first path record's flags, then the picture it names.
    const std::size_t path = 12 + 108 + 8;
    EXPECT_TRUE(refused(changed(path + 20, 4))) << "an unknown flag";
    EXPECT_TRUE(refused(changed(path + 24, 5))) << "a picture not written before it";
    EXPECT_TRUE(refused(changed(path, 0))) << "a picture size of 0";
    // The shortcut record's count of file path units: all of it, or past it.
    const std::size_t shortcut = good.size() - 4 - (8 + 32 + 2 * (23 + 11)) + 8;
    EXPECT_TRUE(refused(changed(shortcut + 28, 34))) << "no program path left";
    EXPECT_TRUE(refused(changed(shortcut + 28, 60))) << "a file path past the record's end";
    EXPECT_TRUE(refused(changed(shortcut + 28, 0))) << "no file path";
    EXPECT_TRUE(refused(std::string(catalogue::kIconCacheMaxBytes + 1, '\0')));
}

TEST(IconCacheFile, WrittenOnlyWhenChangedAndBadOrMissingFilesAreMadeAnew)
{
    testing_support::TempFolder temp;
    const std::wstring file = temp.Path() + L"\\IconCache.dat";
    const auto stamp = [](std::uint64_t t) { return catalogue::FileStamp{true, 10, t}; };
    const catalogue::ShortcutIdentity identity{stamp(3), 77, 936};
    const std::wstring shortcut = L"C:\\Q\\Favorites\\g\\a.txt";
    {
        catalogue::IconCache cache(file);
        cache.Store(L"C:\\a.exe", 32, stamp(1), Picture(20, 1), false);
        EXPECT_TRUE(cache.Save(32)) << "nothing is written before the file is read";
        EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
        cache.Read();
        cache.Store(L"C:\\a.exe", 32, stamp(1), Picture(20, 1), false);
        cache.Store(L"C:\\b.exe", 32, stamp(2), Picture(20, 2), false);
        cache.Store(L"C:\\b.exe", 48, stamp(2), Picture(30, 2), false); // a scale change
        cache.StoreShortcut({shortcut, identity, L"C:\\a.exe"});
        cache.StoreShortcut({L"C:\\Q\\Favorites\\g\\b.txt", identity, L"C:\\b.exe"});
        const catalogue::CacheKeep keep{.programs = {L"c:\\A.EXE"}, .shortcuts = {L"c:\\q\\favorites\\G\\A.TXT"}};
        ASSERT_TRUE(cache.Save(32, &keep));
        EXPECT_FALSE(cache.Find(L"C:\\b.exe", 32)) << "no longer in the catalogue";
        EXPECT_FALSE(cache.Find(L"C:\\b.exe", 48)) << "another size";
    }
    const auto written = base::ReadFileBytes(file);
    ASSERT_TRUE(written);
    ASSERT_TRUE(DecodeIconCache(*written));
    EXPECT_EQ(DecodeIconCache(*written)->pictures.size(), 1u);
    EXPECT_EQ(DecodeIconCache(*written)->shortcuts.size(), 1u);

    // Read back, found without regard to case; the same picture again is no change.
    ASSERT_TRUE(base::WriteFileAtomic(file, *written));
    catalogue::IconCache again(file);
    again.Read();
    const auto found = again.Find(L"C:\\A.exe", 32);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->stamp, stamp(1));
    EXPECT_EQ(again.FindShortcut(L"c:\\Q\\FAVORITES\\g\\a.txt", identity), std::optional<std::wstring>(L"C:\\a.exe"));
    // Renamed into its place, or read with another code page: not the file it was.
    EXPECT_FALSE(again.FindShortcut(shortcut, {identity.stamp, 78, 936}));
    EXPECT_FALSE(again.FindShortcut(shortcut, {identity.stamp, 77, 1252}));
    EXPECT_FALSE(again.FindShortcut(shortcut, {stamp(4), 77, 936}));
    again.Store(L"C:\\a.exe", 32, stamp(1), Picture(20, 1), false);
    again.StoreShortcut({shortcut, identity, L"C:\\a.exe"});
    ASSERT_TRUE(::DeleteFileW(file.c_str()));
    ASSERT_TRUE(again.Save(32));
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "written though nothing changed";

    // A damaged file and one over the limit are ignored and replaced by a good one.
    std::string damaged = *written;
    damaged[20] ^= 1;
    for (const bool large : {false, true}) {
        ASSERT_TRUE(base::WriteFileAtomic(file, damaged));
        if (large) {
            const base::UniqueFileHandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            LARGE_INTEGER end{};
            end.QuadPart = static_cast<LONGLONG>(catalogue::kIconCacheMaxBytes) + 1;
            ASSERT_TRUE(::SetFilePointerEx(handle.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle.get()));
        }
        catalogue::IconCache cache(file);
        cache.Read();
        EXPECT_FALSE(cache.Find(L"C:\\a.exe", 32));
        ASSERT_TRUE(cache.Save(32));
        const auto remade = base::ReadFileBytes(file, catalogue::kIconCacheMaxBytes);
        ASSERT_TRUE(remade) << "large: " << large;
        EXPECT_TRUE(DecodeIconCache(*remade)) << "large: " << large;
    }
}

TEST(IconCacheFile, AFolderInItsPlaceIsSkippedQuietly)
{
    testing_support::TempFolder temp;
    const std::wstring file = temp.Path() + L"\\IconCache.dat";
    ASSERT_TRUE(::CreateDirectoryW(file.c_str(), nullptr));
    catalogue::IconCache cache(file);
    cache.Read();
    cache.Store(L"C:\\a.exe", 32, {true, 1, 1}, Picture(20, 1), false);
    EXPECT_FALSE(cache.Save(32));
    EXPECT_TRUE(cache.Find(L"C:\\a.exe", 32)) << "still serves the pictures it holds";
    EXPECT_NE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    WIN32_FIND_DATAW data{};
    const base::UniqueFindHandle find(::FindFirstFileW((temp.Path() + L"\\*.tmp").c_str(), &data));
    EXPECT_FALSE(find) << "a temporary file was left behind";
}
