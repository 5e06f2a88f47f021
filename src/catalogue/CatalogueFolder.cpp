#include "catalogue/CatalogueFolder.h"

#include "base/FolderListing.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "base/TextFile.h"
#include "catalogue/ShortcutText.h"

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

std::wstring ReadShortcutPath(const std::wstring& file, unsigned codePage)
{
    // No path is that long: a larger file is something else, and is not
    // read into memory at all.
    const std::optional<std::string> bytes = base::ReadFileBytes(file, kMaxShortcutFileBytes);
    if (!bytes)
        return {};
    return PathFromShortcutBytes(*bytes, codePage, &base::Widen);
}

} // namespace catalogue
