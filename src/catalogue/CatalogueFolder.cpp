#include "catalogue/CatalogueFolder.h"

#include "base/FolderListing.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <windows.h>

#include <algorithm>

namespace catalogue {

std::vector<std::wstring> GroupFolders(const std::wstring& root)
{
    std::vector<std::wstring> names = base::SubfolderNames(root);
    // Folders whose names begin with "." are kept out of sight on purpose.
    std::erase_if(names, [](const std::wstring& name) { return name.empty() || name.front() == L'.'; });
    return names;
}

int CountFiles(const std::wstring& folder, const std::wstring& extension)
{
    return static_cast<int>(FilesWithExtension(folder, extension).size());
}

namespace {

// Notepad's "Unicode" and "Unicode big endian": UTF-16 after its mark.
std::optional<std::wstring> Utf16Text(std::string_view bytes)
{
    const bool little = bytes.starts_with("\xFF\xFE");
    if (!little && !bytes.starts_with("\xFE\xFF"))
        return std::nullopt;
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const wchar_t c = static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second);
        if (c == L'\0')
            break;
        text.push_back(c);
    }
    return text;
}

std::wstring TrimmedOfBlanks(std::wstring text)
{
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

// A path someone wrote has no control characters in it; a program or a
// picture saved under a shortcut's name has them everywhere.
std::wstring PathOrNothing(std::wstring text)
{
    text = TrimmedOfBlanks(std::move(text));
    if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; }))
        return {};
    return text;
}

} // namespace

std::wstring ReadShortcutPath(const std::wstring& file, unsigned codePage)
{
    // No path is that long: a larger file is something else, and is not
    // read into memory at all.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(base::ExtendedPath(file).c_str(), GetFileExInfoStandard, &data) ||
        data.nFileSizeHigh != 0 || data.nFileSizeLow > kMaxShortcutFileBytes)
        return {};
    std::optional<std::string> bytes = base::ReadFileBytes(file);
    if (!bytes || bytes->size() > kMaxShortcutFileBytes)
        return {};
    if (std::optional<std::wstring> wide = Utf16Text(*bytes))
        return PathOrNothing(*std::move(wide));
    if (const auto zero = bytes->find('\0'); zero != std::string::npos)
        bytes->resize(zero);
    // An editor's final line break would otherwise become part of the path
    // and the shortcut would start nothing.
    return PathOrNothing(base::DecodeFileText(*bytes, codePage));
}

} // namespace catalogue
