#include "app/TypeToFind.h"

#include "base/Utf16.h"

namespace app {

using base::IsHighSurrogate;
using base::IsLowSurrogate;

bool TypeToFind::OnKey(UINT message, WPARAM code)
{
    if (!m_canType || !m_canType()) {
        m_highSurrogate = 0;
        return true;
    }
    if (message == WM_CHAR || message == WM_IME_CHAR)
        return OnCharacter(static_cast<wchar_t>(code));
    if (message != WM_KEYDOWN)
        return false;
    std::wstring text = m_list.FilterText();
    if (code == VK_ESCAPE) {
        if (text.empty())
            return false;
        SetFilter({});
        return true;
    }
    if (code == VK_BACK) {
        if (!text.empty()) {
            // A character beyond the BMP goes whole.
            const bool pair = text.size() >= 2 && IsLowSurrogate(text.back()) && IsHighSurrogate(text[text.size() - 2]);
            text.resize(text.size() - (pair ? 2 : 1));
            SetFilter(text);
        }
        return true;
    }
    return false;
}

bool TypeToFind::OnCharacter(wchar_t c)
{
    // Enter, Esc, Backspace and Ctrl combinations come as control characters
    // too; their keys have been handled already.
    if (c < L' ' || c == 0x7F)
        return true;
    if (IsHighSurrogate(c)) {
        m_highSurrogate = c;
        return true;
    }
    std::wstring text = m_list.FilterText();
    if (IsLowSurrogate(c)) {
        if (m_highSurrogate == 0)
            return true;
        text += m_highSurrogate;
    } else if (text.empty() && (c == L' ' || c == 0x3000)) {
        return true; // every name would hold a filter that starts blank
    }
    m_highSurrogate = 0;
    text += c;
    SetFilter(text);
    return true;
}

void TypeToFind::SetFilter(const std::wstring& text)
{
    m_list.SetFilter(text);
    m_title.SetText(m_list.FilterText());
}

} // namespace app
