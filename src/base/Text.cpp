#include "base/Text.h"

#include <windows.h>

#include <climits>

namespace base {

std::wstring Widen(std::string_view bytes, unsigned codePage)
{
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    const int inLength = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), inLength, text.data(), length);
    return text;
}

std::optional<std::string> NarrowExact(std::wstring_view text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    if (text.size() > INT_MAX)
        return std::nullopt;
    const int inLength = static_cast<int>(text.size());
    // The system's code page may itself be UTF-8 (a Windows 10 option).
    if (codePage == CP_ACP)
        codePage = ::GetACP();
    // UTF-8 and UTF-7 hold every character and refuse the flag and the
    // default-character output.
    const bool unicode = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = unicode ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = unicode ? nullptr : &usedDefault;
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), inLength, nullptr, 0,
                                             nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), inLength, bytes.data(), length, nullptr,
                          usedDefaultOut);
    if (usedDefault)
        return std::nullopt;
    // Some code pages map a character without reporting it as defaulted but
    // cannot map it back; a round trip catches those.
    if (!unicode && Widen(bytes, codePage) != text)
        return std::nullopt;
    return bytes;
}

std::string ToUtf8(std::wstring_view text)
{
    return NarrowExact(text, CP_UTF8).value_or(std::string());
}

DecodedText DecodeFile(std::string_view bytes, unsigned codePage)
{
    return DecodeTextBytes(bytes, codePage, &Widen);
}

std::wstring DecodeFileText(std::string_view bytes, unsigned codePage)
{
    return DecodeFile(bytes, codePage).text;
}

std::string EncodeFileText(std::wstring_view text, unsigned codePage)
{
    // Code-page bytes that would read back as something else (they start
    // like the mark, or happen to be valid UTF-8) are written as UTF-8.
    if (auto ansi = NarrowExact(text, codePage); ansi && !ansi->starts_with(kUtf8Bom) && !LooksLikeUtf8(*ansi))
        return *std::move(ansi);
    std::string bytes(kUtf8Bom);
    bytes += ToUtf8(text);
    return bytes;
}

std::string EncodeFileText(std::wstring_view text, TextEncoding encoding, unsigned codePage)
{
    switch (encoding) {
    case TextEncoding::CodePage:
        break;
    case TextEncoding::Utf8:
        return ToUtf8(text);
    case TextEncoding::Utf8WithMark:
        return std::string(kUtf8Bom) + ToUtf8(text);
    case TextEncoding::Utf16LeWithMark:
    case TextEncoding::Utf16BeWithMark: {
        const bool big = encoding == TextEncoding::Utf16BeWithMark;
        std::string bytes(big ? kUtf16BeBom : kUtf16LeBom);
        bytes.reserve(bytes.size() + text.size() * 2);
        for (const wchar_t c : text) {
            const auto high = static_cast<char>((c >> 8) & 0xFF);
            const auto low = static_cast<char>(c & 0xFF);
            bytes.push_back(big ? high : low);
            bytes.push_back(big ? low : high);
        }
        return bytes;
    }
    }
    return EncodeFileText(text, codePage);
}

} // namespace base
