#include "base/LongPath.h"

#include <string_view>
#include <vector>

namespace base {

namespace {

[[nodiscard]] bool IsSeparator(wchar_t c) noexcept
{
    return c == L'\\' || c == L'/';
}

[[nodiscard]] bool IsDriveLetter(wchar_t c) noexcept
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "\\?\", "\\.\" and "\??\" paths reach the object manager as written.
[[nodiscard]] bool IsDevicePath(std::wstring_view path) noexcept
{
    if (path.size() < 4 || !IsSeparator(path[0]) || !IsSeparator(path[3]))
        return false;
    return (IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.')) ||
           (path[1] == L'?' && path[2] == L'?');
}

[[nodiscard]] std::vector<std::wstring_view> Segments(std::wstring_view text)
{
    std::vector<std::wstring_view> segments;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        segments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

// root followed by the segments of rest, resolved as the system resolves
// them; ".." never climbs above the root.
[[nodiscard]] std::wstring Joined(std::wstring root, std::wstring_view rest)
{
    std::vector<std::wstring_view> kept;
    for (std::wstring_view segment : Segments(rest)) {
        if (segment.empty() || segment == L".")
            continue;
        if (segment == L"..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(segment);
    }
    for (std::wstring_view segment : kept) {
        root += L'\\';
        root += segment;
    }
    // A folder named with its trailing separator keeps it; a bare root is
    // only a root with one.
    if (kept.empty() || IsSeparator(rest.back()))
        root += L'\\';
    return root;
}

} // namespace

std::wstring ExtendedPath(const std::wstring& path)
{
    if (path.size() < kLongPathFrom || IsDevicePath(path))
        return path;
    const std::wstring_view view(path);
    if (IsDriveLetter(view[0]) && view[1] == L':' && IsSeparator(view[2]))
        return Joined(L"\\\\?\\" + path.substr(0, 2), view.substr(3));
    if (IsSeparator(view[0]) && IsSeparator(view[1])) {
        // \\server\share is the root of a UNC path; without both it is none.
        const std::vector<std::wstring_view> parts = Segments(view.substr(2));
        if (parts.size() < 2 || parts[0].empty() || parts[1].empty())
            return path;
        const size_t rootLength = 2 + parts[0].size() + 1 + parts[1].size();
        return Joined(L"\\\\?\\UNC\\" + std::wstring(parts[0]) + L'\\' + std::wstring(parts[1]),
                      view.substr(rootLength));
    }
    return path; // relative, or rooted on the current drive
}

std::wstring WithoutExtendedPrefix(const std::wstring& path)
{
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kPlain = L"\\\\?\\";
    const std::wstring_view view(path);
    if (view.starts_with(kUnc))
        return L"\\\\" + path.substr(kUnc.size());
    if (view.starts_with(kPlain) && view.size() >= kPlain.size() + 2 && IsDriveLetter(view[kPlain.size()]) &&
        view[kPlain.size() + 1] == L':')
        return path.substr(kPlain.size());
    return path;
}

} // namespace base
