#include "TempFolder.h"

#include "base/Handles.h"

#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace testing_support {

TempFolder::TempFolder()
{
    if (m_folder.Path().empty())
        ADD_FAILURE() << "cannot create a temporary folder";
}

std::vector<std::wstring> TempFolder::FileNames() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    base::UniqueFindHandle find(::FindFirstFileW((Path() + L"\\*").c_str(), &data));
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
