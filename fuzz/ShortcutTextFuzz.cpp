// Any bytes as a shortcut file: telling the encoding and cutting out the
// path must never crash or read outside the bytes; the path it gives has no
// control characters and no blanks around it, and whatever the strict UTF-8
// reader accepts encodes back to the very same bytes. Built natively (the
// reader includes no Windows header); scripts/bench builds and runs it.

#include "base/TextDecoding.h"
#include "catalogue/ShortcutText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Stands in for the system's code page: one character per byte.
std::wstring WidenBytes(std::string_view bytes, unsigned)
{
    std::wstring text;
    for (const char c : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

std::string ToUtf8(const std::wstring& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint16_t>(text[++i]) - 0xDC00);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring path = catalogue::PathFromShortcutBytes(bytes, 936, &WidenBytes);
    for (const wchar_t c : path)
        if (c < L' ' || c == 0x7F)
            std::abort();
    if (!path.empty() && (IsBlank(path.front()) || IsBlank(path.back())))
        std::abort();

    bool multiByte = false;
    if (const auto strict = base::StrictUtf8(bytes, &multiByte)) {
        if (ToUtf8(*strict) != bytes)
            std::abort();
        // Accepted text is what the lenient reader gives too.
        if (base::LenientUtf8(bytes) != *strict)
            std::abort();
    }
    const base::DecodedText decoded = base::DecodeTextBytes(bytes, 936, &WidenBytes);
    if (decoded.encoding == base::TextEncoding::Utf8 && !multiByte)
        std::abort();
    return 0;
}
