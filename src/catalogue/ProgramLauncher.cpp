#include "catalogue/ProgramLauncher.h"

#include <windows.h>

#include <shellapi.h>

namespace catalogue {

bool ShellLauncher::Open(const std::wstring& path, const std::wstring& folder)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

} // namespace catalogue
