#include "base/PathParts.h"

namespace base {

std::wstring_view FileNameOf(std::wstring_view path) noexcept
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(std::wstring_view path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::optional<std::wstring_view> StemOf(std::wstring_view fileName) noexcept
{
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos)
        return std::nullopt;
    return fileName.substr(0, dot);
}

} // namespace base
