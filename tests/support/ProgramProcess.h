#pragma once
// Starting a built program as a process of its own and waiting for it to
// end, for the end-to-end tests and the benchmarks alike. No test framework
// here: the benchmarks are plain programs.

#include "base/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace testing_support {

// The folder the running program was started from, where every program of
// the build lies.
[[nodiscard]] std::wstring BuildFolder();

class ProgramProcess {
public:
    // Starts program (a path of any length) with folder as its working
    // folder; arguments follow its quoted path on the command line.
    ProgramProcess(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments = {});
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess(); // ends the process if it is still running

    [[nodiscard]] bool Started() const { return static_cast<bool>(m_process); }
    [[nodiscard]] DWORD ProcessId() const { return m_processId; }
    [[nodiscard]] HANDLE Process() const { return m_process.get(); }
    [[nodiscard]] bool Ended() const;
    // The exit code, or nothing if the process is still running after the time-out.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000) const;

private:
    base::UniqueKernelHandle m_process;
    DWORD m_processId = 0;
};

} // namespace testing_support
