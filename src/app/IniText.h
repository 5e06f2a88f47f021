#pragma once
// The text of an INI file, kept line by line so that changing a value
// leaves everything else a person wrote there as it was: comments, blank
// lines, sections and keys we do not know, their order and the line
// breaks. Read as the system's profile functions read: names compare
// without regard to ASCII case, blanks around names and values do not
// count, a value in double quotes is read without them, ";" starts a
// comment line, and of two same-named sections or keys the first counts.
// No Windows header here.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class IniText {
public:
    IniText() = default;
    explicit IniText(std::wstring_view text);

    // Empty optional when the section or the key is not there.
    [[nodiscard]] std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;
    [[nodiscard]] std::wstring Get(std::wstring_view section, std::wstring_view key) const
    {
        return Find(section, key).value_or(std::wstring());
    }

    // Rewrites the key's line, or adds the key at the end of its section,
    // or the section at the end of the text. False, with nothing changed,
    // for a name or value that would not read back as given.
    [[nodiscard]] bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

    [[nodiscard]] std::wstring Text() const;

private:
    struct Line {
        std::wstring text;
        std::wstring end; // the line break as found; empty for a last line without one
    };
    struct Section {
        std::size_t header;
        std::size_t end; // one past its last line
    };

    [[nodiscard]] std::optional<Section> FindSection(std::wstring_view name) const;
    [[nodiscard]] std::optional<std::size_t> FindKey(const Section& section, std::wstring_view key) const;
    void InsertLine(std::size_t at, std::wstring text);

    std::vector<Line> m_lines;
    std::wstring m_newLine = L"\r\n"; // for added lines: the text's first break
};

} // namespace app
