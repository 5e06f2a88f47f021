#pragma once
// Starting programs off the window thread: the shell may take a network
// time-out to find that a share is gone, and the window must not wait for it.

#include "catalogue/ProgramLauncher.h"

#include <memory>

namespace catalogue {

// Hands every start to a thread of its own running the inner launcher.
// True once the thread has it; whether the program then starts nobody
// hears, as with a double-click in the shell.
class BackgroundLauncher final : public ProgramLauncher {
public:
    explicit BackgroundLauncher(std::shared_ptr<ProgramLauncher> inner) : m_inner(std::move(inner)) {}
    void SetInner(std::shared_ptr<ProgramLauncher> inner) { m_inner = std::move(inner); }
    [[nodiscard]] bool Open(const std::wstring& path, const std::wstring& folder) override;
    [[nodiscard]] bool OpenAsAdministrator(const std::wstring& path, const std::wstring& folder) override;

private:
    [[nodiscard]] bool Start(const std::wstring& path, const std::wstring& folder, bool elevated);

    std::shared_ptr<ProgramLauncher> m_inner; // each thread holds it too
};

} // namespace catalogue
