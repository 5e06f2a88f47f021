#pragma once
// The key that calls the window from anywhere, as Instal.ini spells it:
// "Ctrl+Alt+Q", "Alt+Space", "Win+Shift+K". Names compare without regard
// to case and blanks around the parts do not count.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace app {

struct Hotkey {
    UINT modifiers = 0; // MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN
    UINT key = 0;       // a virtual-key code

    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

inline constexpr wchar_t kDefaultHotkey[] = L"Ctrl+Alt+Q";

// Nothing when the text names no key, repeats a part, or has no modifier
// (a plain letter would be taken from every program); function keys may
// stand alone.
[[nodiscard]] std::optional<Hotkey> ParseHotkey(std::wstring_view text);
// The key as people write it: modifiers in the order Ctrl, Alt, Shift, Win.
[[nodiscard]] std::wstring HotkeyText(const Hotkey& hotkey);

} // namespace app
