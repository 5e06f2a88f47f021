#include "base/TextDecoding.h"

#include <cstdint>

namespace base {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& text, std::uint32_t c)
{
    if (c < 0x10000) {
        text.push_back(static_cast<wchar_t>(c));
        return;
    }
    c -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
}

// The character at bytes[at] and how many bytes it takes; 0 bytes when the
// sequence there is broken.
struct Utf8Char {
    std::uint32_t value;
    size_t length;
};

Utf8Char NextUtf8(std::string_view bytes, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t least = 0; // below it the form is overlong
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return {0, 0};
    }
    if (bytes.size() - at < length)
        return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {0, 0};
    return {value, length};
}

std::wstring Utf16Text(std::string_view bytes, bool bigEndian)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(bigEndian ? (first << 8) | second : first | (second << 8)));
    }
    return text;
}

} // namespace

std::optional<std::wstring> StrictUtf8(std::string_view bytes, bool* multiByte)
{
    std::wstring text;
    text.reserve(bytes.size());
    bool wide = false;
    for (size_t at = 0; at < bytes.size();) {
        const Utf8Char c = NextUtf8(bytes, at);
        if (c.length == 0)
            return std::nullopt;
        wide = wide || c.length > 1;
        AppendCodePoint(text, c.value);
        at += c.length;
    }
    if (multiByte)
        *multiByte = wide;
    return text;
}

std::wstring LenientUtf8(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const Utf8Char c = NextUtf8(bytes, at);
        if (c.length == 0) {
            text.push_back(kReplacement);
            ++at;
            continue;
        }
        AppendCodePoint(text, c.value);
        at += c.length;
    }
    return text;
}

bool LooksLikeUtf8(std::string_view bytes)
{
    bool multiByte = false;
    return StrictUtf8(bytes, &multiByte).has_value() && multiByte;
}

DecodedText DecodeTextBytes(std::string_view bytes, unsigned codePage, CodePageDecoder decodeCodePage)
{
    if (bytes.starts_with(kUtf8Bom))
        return {LenientUtf8(bytes.substr(kUtf8Bom.size())), TextEncoding::Utf8WithMark};
    if (bytes.starts_with(kUtf16LeBom))
        return {Utf16Text(bytes.substr(kUtf16LeBom.size()), false), TextEncoding::Utf16LeWithMark};
    if (bytes.starts_with(kUtf16BeBom))
        return {Utf16Text(bytes.substr(kUtf16BeBom.size()), true), TextEncoding::Utf16BeWithMark};
    bool multiByte = false;
    if (std::optional<std::wstring> utf8 = StrictUtf8(bytes, &multiByte); utf8 && multiByte)
        return {*std::move(utf8), TextEncoding::Utf8};
    return {decodeCodePage ? decodeCodePage(bytes, codePage) : std::wstring(), TextEncoding::CodePage};
}

} // namespace base
