#include "catalogue/CatalogueNames.h"

#include "base/PathParts.h"

namespace catalogue {

std::wstring BaseName(std::wstring_view fileName)
{
    return std::wstring(base::StemOf(fileName).value_or(fileName));
}

std::wstring DirectoryOf(std::wstring_view path)
{
    const std::wstring folder = base::FolderOf(path);
    return path.find_last_of(L"\\/") == std::wstring_view::npos ? std::wstring() : folder + L"\\";
}

} // namespace catalogue
