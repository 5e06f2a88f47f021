#include "app/Hotkey.h"

#include <array>
#include <cwctype>

namespace app {

namespace {

struct NamedKey {
    std::wstring_view name;
    UINT key;
};

constexpr std::array<NamedKey, 20> kNamedKeys = {{
    {L"Space", VK_SPACE},     {L"Tab", VK_TAB},         {L"Enter", VK_RETURN},    {L"Esc", VK_ESCAPE},
    {L"Backspace", VK_BACK},  {L"Insert", VK_INSERT},   {L"Delete", VK_DELETE},   {L"Home", VK_HOME},
    {L"End", VK_END},         {L"PageUp", VK_PRIOR},    {L"PageDown", VK_NEXT},   {L"Up", VK_UP},
    {L"Down", VK_DOWN},       {L"Left", VK_LEFT},       {L"Right", VK_RIGHT},     {L"`", VK_OEM_3},
    {L"-", VK_OEM_MINUS},     {L"=", VK_OEM_PLUS},      {L",", VK_OEM_COMMA},     {L".", VK_OEM_PERIOD},
}};

struct Modifier {
    std::wstring_view name;
    UINT flag;
};

constexpr std::array<Modifier, 6> kModifiers = {{
    {L"Ctrl", MOD_CONTROL},
    {L"Control", MOD_CONTROL},
    {L"Alt", MOD_ALT},
    {L"Shift", MOD_SHIFT},
    {L"Win", MOD_WIN},
    {L"Windows", MOD_WIN},
}};

[[nodiscard]] bool SameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

[[nodiscard]] std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

[[nodiscard]] bool IsFunctionKey(UINT key)
{
    return key >= VK_F1 && key <= VK_F24;
}

[[nodiscard]] std::optional<UINT> KeyNamed(std::wstring_view name)
{
    if (name.size() == 1) {
        const wchar_t c = static_cast<wchar_t>(std::towupper(name[0]));
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))
            return c;
    }
    if (name.size() >= 2 && (name[0] == L'F' || name[0] == L'f')) {
        int number = 0;
        for (const wchar_t c : name.substr(1)) {
            if (c < L'0' || c > L'9' || number > 24)
                return std::nullopt;
            number = number * 10 + (c - L'0');
        }
        if (number >= 1 && number <= 24)
            return static_cast<UINT>(VK_F1 + number - 1);
        return std::nullopt;
    }
    for (const NamedKey& named : kNamedKeys)
        if (SameName(name, named.name))
            return named.key;
    return std::nullopt;
}

} // namespace

std::optional<Hotkey> ParseHotkey(std::wstring_view text)
{
    Hotkey hotkey;
    text = Trimmed(text);
    // The last part is the key; "+" itself cannot be one.
    while (!text.empty()) {
        const size_t plus = text.find(L'+');
        const std::wstring_view part = Trimmed(text.substr(0, plus));
        const bool last = plus == std::wstring_view::npos;
        text = last ? std::wstring_view() : text.substr(plus + 1);
        if (part.empty())
            return std::nullopt;
        if (!last) {
            const Modifier* found = nullptr;
            for (const Modifier& modifier : kModifiers)
                if (SameName(part, modifier.name))
                    found = &modifier;
            if (!found || (hotkey.modifiers & found->flag))
                return std::nullopt;
            hotkey.modifiers |= found->flag;
            continue;
        }
        const std::optional<UINT> key = KeyNamed(part);
        if (!key)
            return std::nullopt;
        hotkey.key = *key;
    }
    if (hotkey.key == 0 || (hotkey.modifiers == 0 && !IsFunctionKey(hotkey.key)))
        return std::nullopt;
    return hotkey;
}

std::wstring HotkeyText(const Hotkey& hotkey)
{
    std::wstring text;
    for (const auto& [flag, name] : {std::pair{MOD_CONTROL, L"Ctrl+"}, std::pair{MOD_ALT, L"Alt+"},
                                     std::pair{MOD_SHIFT, L"Shift+"}, std::pair{MOD_WIN, L"Win+"}})
        if (hotkey.modifiers & flag)
            text += name;
    if ((hotkey.key >= L'A' && hotkey.key <= L'Z') || (hotkey.key >= L'0' && hotkey.key <= L'9'))
        return text + static_cast<wchar_t>(hotkey.key);
    if (IsFunctionKey(hotkey.key))
        return text + L"F" + std::to_wstring(hotkey.key - VK_F1 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == hotkey.key)
            return text + std::wstring(named.name);
    return text + L"?";
}

} // namespace app
