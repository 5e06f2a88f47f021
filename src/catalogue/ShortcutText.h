#pragma once
// A shortcut file's bytes to the program path it holds. Free of Windows
// headers, so the fuzzer builds it natively; the code page's conversion is
// handed in.

#include "base/TextDecoding.h"

#include <string>
#include <string_view>

namespace catalogue {

// The text up to its first zero character, without the blanks and line
// breaks around it, in whichever encoding base::DecodeTextBytes tells.
// Empty when the rest still holds control characters: a program or a
// picture saved under a shortcut's name, not a path someone wrote.
[[nodiscard]] std::wstring PathFromShortcutBytes(std::string_view bytes, unsigned codePage,
                                                 base::CodePageDecoder decodeCodePage);

} // namespace catalogue
