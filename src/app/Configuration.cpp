#include "app/Configuration.h"

#include "base/LongPath.h"
#include "base/Text.h"
#include "base/TextFile.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <optional>

namespace app {

IniText IniFile::Load() const
{
    const auto text = base::ReadText(m_path, m_codePage, kMaxConfigBytes);
    return text ? IniText(text->text) : IniText();
}

std::wstring IniFile::Read(const wchar_t* section, const wchar_t* key) const
{
    return Load().Get(section, key);
}

int IniFile::ReadInt(const wchar_t* section, const wchar_t* key) const
{
    return ParseDecimal(Read(section, key));
}

bool IniFile::Write(const wchar_t* section, const std::vector<IniValue>& values) const
{
    base::ReadError error = base::ReadError::None;
    const auto bytes = base::ReadFileBytes(m_path, kMaxConfigBytes, &error);
    if (!bytes && error != base::ReadError::Missing)
        return false; // what we could not read we must not replace
    std::optional<base::DecodedText> old;
    if (bytes) {
        old = base::DecodeFile(*bytes, m_codePage);
        // Bytes that do not decode (a broken sequence) would not survive a rewrite.
        if (base::EncodeFileText(old->text, old->encoding, m_codePage) != *bytes)
            return false;
    }
    IniText ini(old ? std::wstring_view(old->text) : std::wstring_view());
    for (const IniValue& item : values) {
        if (!ini.Set(section, item.key, item.value))
            return false;
    }
    const std::wstring text = ini.Text();
    if (old && text == old->text)
        return true;
    // Windows will not replace a read-only file; not every system says so.
    const DWORD attributes = ::GetFileAttributesW(base::ExtendedPath(m_path).c_str());
    if (old && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::string newBytes = old ? base::EncodeFileText(text, old->encoding, m_codePage)
                                     : base::EncodeFileText(text, m_codePage);
    // Grown past what we read, it would be lost to the next start.
    return newBytes.size() <= kMaxConfigBytes && base::WriteFileAtomic(m_path, newBytes);
}

bool IniFile::Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    return Write(section, {{key, value}});
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
    const IniText text = ini.Load();
    return {ParseDecimal(text.Get(kConfigSection, kLeftKey)), ParseDecimal(text.Get(kConfigSection, kTopKey))};
}

bool SaveConfiguration(const IniFile& ini, POINT topLeft, const std::wstring& currentMusic)
{
    return ini.Write(kConfigSection, {{kLeftKey, std::to_wstring(topLeft.x)},
                                      {kTopKey, std::to_wstring(topLeft.y)},
                                      {kCurrentMusicKey, currentMusic}});
}

} // namespace app
