#pragma once
// A fresh folder under %TEMP%, removed with everything in it. Free of the
// test framework, so benchmark programs use it too.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace testing_support {

class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* prefix = L"qly-test-")
    {
        wchar_t temp[MAX_PATH + 1]{};
        ::GetTempPathW(MAX_PATH, temp);
        static unsigned counter = 0;
        for (;;) {
            std::wstring path = std::wstring(temp) + prefix + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter);
            if (::CreateDirectoryW(path.c_str(), nullptr)) {
                m_path = std::move(path);
                return;
            }
            // Only a name already taken is worth another try.
            if (::GetLastError() != ERROR_ALREADY_EXISTS)
                return;
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        if (m_path.empty())
            return;
        std::wstring from = m_path;
        from.push_back(L'\0'); // SHFileOperation wants a double-terminated list
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        (void)::SHFileOperationW(&op);
    }

    // Empty when no folder could be made.
    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

private:
    std::wstring m_path;
};

} // namespace testing_support
