#pragma once
// The halves of a character beyond the Basic Multilingual Plane in UTF-16.

namespace base {

[[nodiscard]] constexpr bool IsHighSurrogate(wchar_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

[[nodiscard]] constexpr bool IsLowSurrogate(wchar_t c) noexcept
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace base
