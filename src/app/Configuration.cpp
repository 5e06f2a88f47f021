#include "app/Configuration.h"

#include "base/LongPath.h"
#include "base/TextFile.h"

#include <cerrno>
#include <climits>
#include <cwchar>

namespace app {

namespace {

// The private-profile functions take no path past MAX_PATH, with "\\?\" or
// without (under Wine both fail with ERROR_PATH_NOT_FOUND), so a profile that
// deep is read and written as a copy in the temporary folder.
class ProfileCopy {
public:
    explicit ProfileCopy(const std::wstring& path)
    {
        std::wstring folder(MAX_PATH + 1, L'\0');
        const DWORD length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
        if (length == 0 || length >= folder.size())
            return;
        folder.resize(length);
        if (folder.back() == L'\\')
            folder.pop_back();
        m_path = base::CreateTemporaryFile(folder);
        if (m_path.empty())
            return;
        // A missing file is an empty profile. The copy takes the original's
        // attributes; read-only, it could not be written nor deleted after.
        const bool copied = ::CopyFileW(base::ExtendedPath(path).c_str(), m_path.c_str(), FALSE) != FALSE;
        const DWORD error = ::GetLastError();
        if (copied)
            ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            Discard();
    }
    ProfileCopy(const ProfileCopy&) = delete;
    ProfileCopy& operator=(const ProfileCopy&) = delete;
    ~ProfileCopy() { Discard(); }

    // Empty when no copy could be made.
    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

    [[nodiscard]] bool CopyBack(const std::wstring& path) const
    {
        const std::optional<std::string> bytes = base::ReadFileBytes(m_path);
        return bytes && base::WriteFileAtomic(path, *bytes);
    }

private:
    void Discard() noexcept
    {
        if (!m_path.empty())
            ::DeleteFileW(m_path.c_str());
        m_path.clear();
    }

    std::wstring m_path;
};

[[nodiscard]] bool FitsProfileFunctions(const std::wstring& path) noexcept
{
    return path.size() < base::kLongPathFrom;
}

std::wstring ReadProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& path)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length = ::GetPrivateProfileStringW(section, key, L"", value.data(),
                                                        static_cast<DWORD>(value.size()), path.c_str());
        // size - 1 means the value was cut to fit: try again with more room.
        if (length + 1 < value.size() || value.size() >= 1u << 20) {
            value.resize(length);
            return value;
        }
        value.resize(value.size() * 4);
    }
}

} // namespace

std::wstring IniFile::Read(const wchar_t* section, const wchar_t* key) const
{
    if (FitsProfileFunctions(m_path))
        return ReadProfileString(section, key, m_path);
    const ProfileCopy copy(m_path);
    return copy.Path().empty() ? std::wstring() : ReadProfileString(section, key, copy.Path());
}

int IniFile::ReadInt(const wchar_t* section, const wchar_t* key) const
{
    return ParseDecimal(Read(section, key));
}

bool IniFile::Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    if (FitsProfileFunctions(m_path))
        return ::WritePrivateProfileStringW(section, key, value.c_str(), m_path.c_str()) != FALSE;
    const ProfileCopy copy(m_path);
    return !copy.Path().empty() &&
           ::WritePrivateProfileStringW(section, key, value.c_str(), copy.Path().c_str()) != FALSE &&
           copy.CopyBack(m_path);
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
