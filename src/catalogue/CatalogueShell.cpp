#include "catalogue/CatalogueShell.h"

#include <commdlg.h>
#include <shellapi.h>

namespace catalogue {

std::wstring SystemCatalogueShell::ChooseProgram(HWND owner)
{
    // Room for long paths; the dialog writes one name and a terminator.
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    // The literal adds the closing second NUL.
    dialog.lpstrFilter = L"应用程序(*.exe)\0*.exe\0所有文件(*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog))
        return {};
    buffer.resize(::wcsnlen(buffer.c_str(), buffer.size()));
    return buffer;
}

void SystemCatalogueShell::Explore(const std::wstring& folder)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"explore";
    execute.lpFile = folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    (void)::ShellExecuteExW(&execute); // silent: the user sees whether a window opened
}

} // namespace catalogue
