#pragma once
// The MP3 tones the build makes beside the test programs (tones/short.mp3
// ends after about a second, tones/long.mp3 plays for half a minute).

#include "base/TextFile.h"

#include <windows.h>

#include <string>

namespace testing_support {

[[nodiscard]] inline std::wstring ToneFile(const std::wstring& name)
{
    wchar_t program[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    return base::FolderOf(program) + L"\\tones\\" + name + L".mp3";
}

// Copies a tone to `to`; false (and the test should stop) when the build made none.
[[nodiscard]] inline bool CopyTone(const std::wstring& name, const std::wstring& to)
{
    return ::CopyFileW(ToneFile(name).c_str(), to.c_str(), FALSE) != FALSE;
}

} // namespace testing_support
