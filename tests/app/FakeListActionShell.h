#pragma once
// Answers the list's questions in tests and remembers what was said, so no
// real message box ever waits for a user who is not there.

#include "app/ListActions.h"

#include <string>
#include <vector>

namespace testing_support {

struct FakeListActionShell final : app::ListActionShell {
    bool Ask(HWND, const std::wstring& question) override
    {
        asked.push_back(question);
        return answer;
    }
    void Tell(HWND, const std::wstring& message) override { told.push_back(message); }
    std::wstring ChooseProgram(HWND) override { return chosen; }
    void ShowInFolder(const std::wstring& path) override { shown.push_back(path); }
    void Explore(const std::wstring& folder) override { shown.push_back(folder); }

    bool answer = true;
    std::wstring chosen;
    std::vector<std::wstring> asked, told, shown;
};

} // namespace testing_support
