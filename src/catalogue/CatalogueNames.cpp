#include "catalogue/CatalogueNames.h"

#include <algorithm>
#include <cwctype>

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

bool HasExtension(std::wstring_view fileName, std::wstring_view extension)
{
    const auto dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos)
        return false;
    const std::wstring_view actual = fileName.substr(dot + 1);
    return std::ranges::equal(actual, extension, [](wchar_t a, wchar_t b) {
        return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
    });
}

} // namespace catalogue
