#include "TempFolder.h"

#include "base/Handles.h"

#include <windows.h>

#include <algorithm>
#include <shellapi.h>

#include <gtest/gtest.h>

namespace testing_support {

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH + 1]{};
    ::GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        m_path = std::wstring(temp) + L"qly-test-" + std::to_wstring(::GetCurrentProcessId()) +
                 L"-" + std::to_wstring(++counter);
        if (::CreateDirectoryW(m_path.c_str(), nullptr))
            break;
        // Only a name already taken is worth another try.
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create a temporary folder";
            break;
        }
    }
}

TempFolder::~TempFolder()
{
    std::wstring from = m_path;
    from.push_back(L'\0'); // SHFileOperation wants a double-terminated list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

std::vector<std::wstring> TempFolder::FileNames() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    base::UniqueFindHandle find(::FindFirstFileW((m_path + L"\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(data.cFileName);
    } while (::FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace testing_support
