#pragma once
// Dating a file back: a user's catalogue was written well before the
// program starts, and what was written moments ago is treated as still
// being written. Each call takes the clock afresh, so two files dated back
// the same way still differ in time.

#include "base/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace testing_support {

inline bool DateBack(HANDLE file, std::uint64_t seconds)
{
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER time{};
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= seconds * 10'000'000ull;
    const FILETIME written{time.LowPart, time.HighPart};
    return ::SetFileTime(file, nullptr, nullptr, &written) != 0;
}

inline bool DateBack(const std::wstring& path, std::uint64_t seconds)
{
    const base::UniqueFileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && DateBack(file.get(), seconds);
}

} // namespace testing_support
