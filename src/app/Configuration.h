#pragma once
// Instal.ini: the window position and the current track. Each save
// rewrites the whole file at once, keeping whatever else is in it.

#include "app/IniText.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace app {

inline constexpr wchar_t kConfigSection[] = L"基本配置";
inline constexpr wchar_t kLeftKey[] = L"左边";
inline constexpr wchar_t kTopKey[] = L"顶边";
inline constexpr wchar_t kCurrentMusicKey[] = L"现行音乐";
// "host" or "host:port" of the weather page; read, never written.
inline constexpr wchar_t kWeatherHostKey[] = L"天气主机";
// The key that calls the window ("Ctrl+Alt+Q"); read, never written. Absent
// means the default; empty turns it off.
inline constexpr wchar_t kCallKeyKey[] = L"呼出热键";

// A file larger than this is not ours: it is neither read nor written.
inline constexpr std::size_t kMaxConfigBytes = 64 * 1024;

struct IniValue {
    const wchar_t* key;
    std::wstring value;
};

class IniFile {
public:
    // New files are written in codePage (tests pin one; the program uses
    // the system's).
    explicit IniFile(std::wstring path, unsigned codePage = CP_ACP)
        : m_path(std::move(path)), m_codePage(codePage)
    {
    }

    // Empty when the file is missing, unreadable or too large.
    [[nodiscard]] IniText Load() const;
    // A missing file or key reads as empty text.
    [[nodiscard]] std::wstring Read(const wchar_t* section, const wchar_t* key) const;
    // Empty or non-numeric text reads as 0.
    [[nodiscard]] int ReadInt(const wchar_t* section, const wchar_t* key) const;

    // One save: the whole new text replaces the file by one rename, in the
    // encoding the file was in. Fails, leaving the file as it was, when it
    // exists but cannot be read, is or would grow too large, is read-only,
    // or a value cannot be stored.
    [[nodiscard]] bool Write(const wchar_t* section, const std::vector<IniValue>& values) const;
    [[nodiscard]] bool Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

private:
    std::wstring m_path;
    unsigned m_codePage;
};

// Leading decimal integer of a text, as the INI values are written; 0 when
// there is none or it does not fit.
[[nodiscard]] int ParseDecimal(const std::wstring& text) noexcept;

// The saved top-left corner; {0, 0} means none was saved.
[[nodiscard]] POINT ReadSavedPosition(const IniFile& ini);

// The position and the track in one write.
[[nodiscard]] bool SaveConfiguration(const IniFile& ini, POINT topLeft, const std::wstring& currentMusic);

} // namespace app
