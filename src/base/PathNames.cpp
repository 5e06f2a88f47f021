#include "base/PathNames.h"

#include "base/LongPath.h"

#include <windows.h>

namespace base {

namespace {

template <DWORD(WINAPI* Convert)(LPCWSTR, LPWSTR, DWORD)>
std::wstring Converted(const std::wstring& path)
{
    // The prefix only where the length needs it: Wine's GetLongPathNameW
    // takes any path beginning "\\" for a UNC one and gives it back as it is.
    const std::wstring asked = ExtendedPath(WithoutExtendedPrefix(path));
    std::wstring result(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = Convert(asked.c_str(), result.data(), static_cast<DWORD>(result.size()));
        if (length == 0)
            return {};
        if (length < result.size()) {
            result.resize(length);
            break;
        }
        result.resize(length); // the size it needs, with the terminator
    }
    return WithoutExtendedPrefix(result);
}

} // namespace

std::wstring ShortPathName(const std::wstring& path)
{
    return Converted<::GetShortPathNameW>(path);
}

std::wstring LongPathName(const std::wstring& path)
{
    return Converted<::GetLongPathNameW>(path);
}

} // namespace base
