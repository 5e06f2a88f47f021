#include "catalogue/ShortcutText.h"

#include <algorithm>

namespace catalogue {

namespace {

[[nodiscard]] bool IsBlank(wchar_t c) noexcept
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

std::wstring PathFromShortcutBytes(std::string_view bytes, unsigned codePage, base::CodePageDecoder decodeCodePage)
{
    // In 8-bit text a zero byte ends it; in UTF-16 only a zero character
    // does, so the cut comes after decoding there.
    if (!bytes.starts_with(base::kUtf16LeBom) && !bytes.starts_with(base::kUtf16BeBom))
        bytes = bytes.substr(0, bytes.find('\0'));
    std::wstring text = base::DecodeTextBytes(bytes, codePage, decodeCodePage).text;
    text.resize(std::min(text.size(), text.find(L'\0')));
    // An editor's final line break would otherwise become part of the path
    // and the shortcut would start nothing.
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), IsBlank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), IsBlank).base(), text.end());
    if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; }))
        return {};
    return text;
}

} // namespace catalogue
