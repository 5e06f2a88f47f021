#include "toolkit/SingleInstance.h"

#include "base/Hashing.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace toolkit {

std::wstring SingleInstance::MutexNameFor(const std::wstring& executablePath)
{
    // A short 8.3 path and the long one name the same program.
    std::wstring folded = executablePath;
    if (const DWORD length = ::GetLongPathNameW(executablePath.c_str(), nullptr, 0); length > 0) {
        std::wstring longPath(length, L'\0');
        const DWORD written = ::GetLongPathNameW(executablePath.c_str(), longPath.data(), length);
        if (written > 0 && written < length) {
            longPath.resize(written);
            folded = std::move(longPath);
        }
    }
    if (!folded.empty())
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    // FNV-1a over the UTF-16 units: paths are longer than a kernel object
    // name may be and contain backslashes, which names may not.
    const std::uint64_t hash = base::Fnv1a(std::span<const wchar_t>(folded));
    wchar_t name[64];
    std::swprintf(name, 64, L"Global\\Quillery-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

SingleInstance::SingleInstance(const std::wstring& executablePath)
{
    // Global: another user's session sharing the folder would share the files too.
    m_mutex.reset(::CreateMutexW(nullptr, FALSE, MutexNameFor(executablePath).c_str()));
    const DWORD error = ::GetLastError();
    // Another user's mutex exists but is not ours to open. With no mutex for
    // any other reason we cannot tell, and starting beats refusing.
    m_anotherRunning = (m_mutex && error == ERROR_ALREADY_EXISTS) || error == ERROR_ACCESS_DENIED;
}

} // namespace toolkit
