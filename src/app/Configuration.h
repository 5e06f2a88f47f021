#pragma once
// Instal.ini: the window position and the current track, read and written
// item by item through the private-profile functions.

#include <windows.h>

#include <string>

namespace app {

inline constexpr wchar_t kConfigSection[] = L"基本配置";
inline constexpr wchar_t kLeftKey[] = L"左边";
inline constexpr wchar_t kTopKey[] = L"顶边";
inline constexpr wchar_t kCurrentMusicKey[] = L"现行音乐";
// "host" or "host:port" of the weather page; read, never written.
inline constexpr wchar_t kWeatherHostKey[] = L"天气主机";

class IniFile {
public:
    explicit IniFile(std::wstring path) : m_path(std::move(path)) {}

    // A missing file or key reads as empty text.
    [[nodiscard]] std::wstring Read(const wchar_t* section, const wchar_t* key) const;
    // Empty or non-numeric text reads as 0.
    [[nodiscard]] int ReadInt(const wchar_t* section, const wchar_t* key) const;
    [[nodiscard]] bool Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

private:
    std::wstring m_path;
};

// Leading decimal integer of a text, as the INI values are written; 0 when
// there is none or it does not fit.
[[nodiscard]] int ParseDecimal(const std::wstring& text) noexcept;

// The saved top-left corner; {0, 0} means none was saved.
[[nodiscard]] POINT ReadSavedPosition(const IniFile& ini);

[[nodiscard]] bool SaveConfiguration(const IniFile& ini, POINT topLeft, const std::wstring& currentMusic);

} // namespace app
