#pragma once
// Listing a folder's subfolders and its files of one extension, in the order
// the file system returns them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// Names of the subfolders of folder, without "." and "..".
[[nodiscard]] std::vector<std::wstring> SubfolderNames(const std::wstring& folder);

// Names of the plain files in folder with the extension (no dot, any case).
[[nodiscard]] std::vector<std::wstring> FilesWithExtension(const std::wstring& folder,
                                                           const std::wstring& extension);

// A file as the folder's listing gives it: what identifies its contents
// comes with its name, at no cost beyond the listing.
struct ListedFile {
    std::wstring name;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0; // FILETIME units
    // Its number on the volume: a file renamed into another's place keeps
    // its size and write time, not this.
    std::uint64_t fileId = 0;
};

// A file's size or time as the system hands it over, in two 32-bit halves.
[[nodiscard]] constexpr std::uint64_t JoinHalves(std::uint32_t high, std::uint32_t low) noexcept
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// The same files as FilesWithExtension, with what identifies each.
[[nodiscard]] std::vector<ListedFile> ListFilesWithExtension(const std::wstring& folder,
                                                             const std::wstring& extension);

// Whether a file name's extension (after its last ".") is `extension`,
// ignoring case. The file system's own pattern matching also matches short
// 8.3 names ("*.txt" finds "notes.txta"), which callers must not count.
[[nodiscard]] bool HasExtension(std::wstring_view fileName, std::wstring_view extension);

} // namespace base
