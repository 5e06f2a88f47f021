#pragma once
// How a shortcut's program is started; tests hand in their own.

#include <string>

namespace catalogue {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // folder is the working directory, with its trailing "\". False when
    // the program could not be started.
    [[nodiscard]] virtual bool Open(const std::wstring& path, const std::wstring& folder) = 0;
    // The same with an administrator's rights: the system asks the user
    // first. A launcher that cannot elevate starts nothing.
    [[nodiscard]] virtual bool OpenAsAdministrator(const std::wstring&, const std::wstring&) { return false; }
};

// Opens the path with the shell's "open" verb, without any error dialog: a
// shortcut to a program that is gone simply does nothing. A program too long
// for the shell (MAX_PATH) is started directly, others by their 8.3 names.
class ShellLauncher final : public ProgramLauncher {
public:
    [[nodiscard]] bool Open(const std::wstring& path, const std::wstring& folder) override;
    // The "runas" verb, by the 8.3 names where the paths are too long.
    [[nodiscard]] bool OpenAsAdministrator(const std::wstring& path, const std::wstring& folder) override;
};

} // namespace catalogue
