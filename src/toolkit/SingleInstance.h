#pragma once
// Tells whether another copy of this program is already running.
//
// Copies are told apart by the folder they run from: everything the program
// keeps lives next to its executable, so two copies in two folders share
// nothing and may run side by side, while a second start from the same
// folder would fight the first over Instal.ini.

#include "base/Handles.h"

#include <string>

namespace toolkit {

class SingleInstance {
public:
    // Claims the name for this process; AnotherIsRunning() then tells whether an
    // earlier process holds it. The claim lasts as long as the object.
    explicit SingleInstance(const std::wstring& executablePath);

    [[nodiscard]] bool AnotherIsRunning() const noexcept { return m_anotherRunning; }

    // The kernel object name for a path; the same file named in another
    // letter case or by its short name gives the same name.
    [[nodiscard]] static std::wstring MutexNameFor(const std::wstring& executablePath);

private:
    base::UniqueKernelHandle m_mutex;
    bool m_anotherRunning = false;
};

} // namespace toolkit
