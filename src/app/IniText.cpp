#include "app/IniText.h"

namespace app {

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view Trim(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

std::optional<std::wstring_view> SectionName(std::wstring_view line)
{
    const std::wstring_view text = Trim(line);
    if (text.empty() || text.front() != L'[')
        return std::nullopt;
    const std::wstring_view inside = text.substr(1);
    return Trim(inside.substr(0, inside.find(L']')));
}

bool IsBlankOrComment(std::wstring_view line)
{
    const std::wstring_view text = Trim(line);
    return text.empty() || text.front() == L';';
}

struct KeyLine {
    std::wstring_view key;
    std::size_t valueStart; // just past the "="
};

std::optional<KeyLine> ParseKey(std::wstring_view line)
{
    if (IsBlankOrComment(line) || SectionName(line))
        return std::nullopt;
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos)
        return std::nullopt;
    const std::wstring_view key = Trim(line.substr(0, equals));
    if (key.empty())
        return std::nullopt;
    return KeyLine{key, equals + 1};
}

bool IsQuoted(std::wstring_view text)
{
    return text.size() >= 2 && text.front() == L'"' && text.back() == L'"';
}

bool FitsOneLine(std::wstring_view text)
{
    return text.find_first_of(L"\r\n") == std::wstring_view::npos;
}

// A name is written as given, so it must read back as given.
bool IsWritableName(std::wstring_view name, std::wstring_view forbidden)
{
    return !name.empty() && Trim(name) == name && FitsOneLine(name) &&
           name.find_first_of(forbidden) == std::wstring_view::npos;
}

// Blanks at either end, or quotes round the whole, would be lost on reading.
std::wstring EncodedValue(std::wstring_view value)
{
    if (Trim(value) == value && !IsQuoted(value))
        return std::wstring(value);
    std::wstring quoted = L"\"";
    quoted += value;
    quoted += L'"';
    return quoted;
}

} // namespace

IniText::IniText(std::wstring_view text)
{
    bool sawBreak = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineBreak = text.find_first_of(L"\r\n", start);
        if (lineBreak == std::wstring_view::npos) {
            m_lines.push_back({std::wstring(text.substr(start)), {}});
            break;
        }
        std::size_t next = lineBreak + 1;
        if (text[lineBreak] == L'\r' && next < text.size() && text[next] == L'\n')
            ++next;
        Line line{std::wstring(text.substr(start, lineBreak - start)),
                  std::wstring(text.substr(lineBreak, next - lineBreak))};
        if (!sawBreak) {
            m_newLine = line.end;
            sawBreak = true;
        }
        m_lines.push_back(std::move(line));
        start = next;
    }
}

std::optional<IniText::Section> IniText::FindSection(std::wstring_view name) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto found = SectionName(m_lines[i].text);
        if (!found || !SameName(*found, name))
            continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && !SectionName(m_lines[end].text))
            ++end;
        return Section{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniText::FindKey(const Section& section, std::wstring_view key) const
{
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        const auto line = ParseKey(m_lines[i].text);
        if (line && SameName(line->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::wstring> IniText::Find(std::wstring_view section, std::wstring_view key) const
{
    const auto found = FindSection(Trim(section));
    if (!found)
        return std::nullopt;
    const auto index = FindKey(*found, Trim(key));
    if (!index)
        return std::nullopt;
    const std::wstring_view line = m_lines[*index].text;
    std::wstring_view value = Trim(line.substr(ParseKey(line)->valueStart));
    if (IsQuoted(value))
        value = value.substr(1, value.size() - 2);
    return std::wstring(value);
}

bool IniText::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value)
{
    if (!IsWritableName(section, L"]") || !IsWritableName(key, L"=") || key.front() == L';' ||
        key.front() == L'[' || !FitsOneLine(value))
        return false;

    const auto found = FindSection(section);
    if (found) {
        if (const auto index = FindKey(*found, key)) {
            // The key as it was spelt and spaced; only the value is new.
            std::wstring& line = m_lines[*index].text;
            const std::size_t valueStart = ParseKey(line)->valueStart;
            std::size_t keep = line.find_first_not_of(kBlanks, valueStart);
            if (keep == std::wstring::npos)
                keep = valueStart;
            line.replace(keep, std::wstring::npos, EncodedValue(value));
            return true;
        }
    }

    std::wstring entry(key);
    entry += L'=';
    entry += EncodedValue(value);
    if (found) {
        // After the section's last item: blank lines and comments before
        // the next section belong to that one.
        std::size_t at = found->header + 1;
        for (std::size_t i = at; i < found->end; ++i) {
            if (!IsBlankOrComment(m_lines[i].text))
                at = i + 1;
        }
        InsertLine(at, std::move(entry));
        return true;
    }

    if (!m_lines.empty() && !Trim(m_lines.back().text).empty())
        InsertLine(m_lines.size(), L"");
    std::wstring header = L"[";
    header += section;
    header += L']';
    InsertLine(m_lines.size(), std::move(header));
    InsertLine(m_lines.size(), std::move(entry));
    return true;
}

void IniText::InsertLine(std::size_t at, std::wstring text)
{
    Line line{std::move(text), m_newLine};
    // A text that ended without a line break still does.
    if (at == m_lines.size() && at > 0 && m_lines.back().end.empty()) {
        m_lines.back().end = m_newLine;
        line.end.clear();
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::wstring IniText::Text() const
{
    std::wstring text;
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.end;
    }
    return text;
}

} // namespace app
