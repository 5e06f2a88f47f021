#include "ProgramProcess.h"

#include "base/PathNames.h"
#include "base/PathParts.h"

namespace testing_support {

std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return base::FolderOf(path);
}

ProgramProcess::ProgramProcess(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    // Wine starts a program past MAX_PATH only by the "\\?\" form of its 8.3 name.
    const std::wstring image = program.size() < MAX_PATH ? std::wstring() : L"\\\\?\\" + base::ShortPathName(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(image.empty() ? nullptr : image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                         nullptr, folder.c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        m_process.reset(info.hProcess);
        m_processId = info.dwProcessId;
    }
}

ProgramProcess::~ProgramProcess()
{
    if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process.get(), 99);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

bool ProgramProcess::Ended() const
{
    return !m_process || ::WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0;
}

std::optional<DWORD> ProgramProcess::WaitForExit(DWORD timeoutMs) const
{
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

} // namespace testing_support
