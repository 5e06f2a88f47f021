#include "toolkit/SingleInstance.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace toolkit {

std::wstring SingleInstance::MutexNameFor(const std::wstring& executablePath)
{
    std::wstring folded = executablePath;
    if (!folded.empty())
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    // FNV-1a over the UTF-16 units: paths are longer than a kernel object
    // name may be and contain backslashes, which names may not.
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : folded) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Quillery-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

SingleInstance::SingleInstance(const std::wstring& executablePath)
{
    m_mutex.reset(::CreateMutexW(nullptr, FALSE, MutexNameFor(executablePath).c_str()));
    // Without the mutex we cannot tell; starting is better than refusing.
    m_anotherRunning = m_mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace toolkit
