#pragma once
// Text handed to other programs through the clipboard.

#include <windows.h>

#include <string>

namespace base {

// Text on the clipboard as Unicode text, for any program to paste. False
// when another program holds the clipboard or memory is short.
[[nodiscard]] bool CopyTextToClipboard(HWND owner, const std::wstring& text) noexcept;

} // namespace base
