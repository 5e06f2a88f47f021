#include "catalogue/CatalogueNames.h"

namespace catalogue {

std::wstring BaseName(std::wstring_view fileName)
{
    const auto dot = fileName.rfind(L'.');
    return std::wstring(dot == std::wstring_view::npos ? fileName : fileName.substr(0, dot));
}

std::wstring DirectoryOf(std::wstring_view path)
{
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

} // namespace catalogue
