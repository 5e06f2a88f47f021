#include "app/Configuration.h"

#include <cerrno>
#include <climits>
#include <cwchar>

namespace app {

std::wstring IniFile::Read(const wchar_t* section, const wchar_t* key) const
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length = ::GetPrivateProfileStringW(section, key, L"", value.data(),
                                                        static_cast<DWORD>(value.size()), m_path.c_str());
        // size - 1 means the value was cut to fit: try again with more room.
        if (length + 1 < value.size() || value.size() >= 1u << 20) {
            value.resize(length);
            return value;
        }
        value.resize(value.size() * 4);
    }
}

int IniFile::ReadInt(const wchar_t* section, const wchar_t* key) const
{
    return ParseDecimal(Read(section, key));
}

bool IniFile::Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    return ::WritePrivateProfileStringW(section, key, value.c_str(), m_path.c_str()) != FALSE;
}

int ParseDecimal(const std::wstring& text) noexcept
{
    errno = 0;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

POINT ReadSavedPosition(const IniFile& ini)
{
    return {ini.ReadInt(kConfigSection, kLeftKey), ini.ReadInt(kConfigSection, kTopKey)};
}

bool SaveConfiguration(const IniFile& ini, POINT topLeft, const std::wstring& currentMusic)
{
    // All three are attempted even if one fails.
    const bool left = ini.Write(kConfigSection, kLeftKey, std::to_wstring(topLeft.x));
    const bool top = ini.Write(kConfigSection, kTopKey, std::to_wstring(topLeft.y));
    const bool music = ini.Write(kConfigSection, kCurrentMusicKey, currentMusic);
    return left && top && music;
}

} // namespace app
