#pragma once
// How the bytes of a text file are told apart and turned into UTF-16: the
// byte-order marks, UTF-8 as today's editors save it (no mark), and
// everything else through the code page. Free of Windows headers, so it
// builds natively for the fuzzers; the code page's own conversion is handed
// in (Text.h does that with the system's).

#include <optional>
#include <string>
#include <string_view>

namespace base {

enum class TextEncoding {
    CodePage,        // the ANSI code page, or whatever page the caller names
    Utf8,            // no mark: valid UTF-8 holding at least one multi-byte sequence
    Utf8WithMark,    // EF BB BF
    Utf16LeWithMark, // FF FE: Notepad's "Unicode"
    Utf16BeWithMark, // FE FF: Notepad's "Unicode big endian"
};

struct DecodedText {
    std::wstring text;
    TextEncoding encoding = TextEncoding::CodePage;
};

// Turns bytes of the given code page into UTF-16.
using CodePageDecoder = std::wstring (*)(std::string_view bytes, unsigned codePage);

// A mark decides. Without one, bytes that are valid UTF-8 and hold a
// multi-byte sequence are UTF-8 (GBK text almost never is: its trail bytes
// rarely line up as continuation bytes); anything else, plain ASCII
// included, goes through the code page. Broken sequences after a UTF-8 mark
// become U+FFFD; an odd last byte after a UTF-16 mark is dropped.
[[nodiscard]] DecodedText DecodeTextBytes(std::string_view bytes, unsigned codePage, CodePageDecoder decodeCodePage);

// The text of bytes that are strictly valid UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF); empty when they are not. multiByte
// says whether any character took more than one byte.
[[nodiscard]] std::optional<std::wstring> StrictUtf8(std::string_view bytes, bool* multiByte = nullptr);

// UTF-8 where each broken sequence becomes U+FFFD.
[[nodiscard]] std::wstring LenientUtf8(std::string_view bytes);

// Whether the bytes would be read as UTF-8 without a mark.
[[nodiscard]] bool LooksLikeUtf8(std::string_view bytes);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

} // namespace base
