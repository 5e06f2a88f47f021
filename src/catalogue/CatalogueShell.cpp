#include "catalogue/CatalogueShell.h"

#include "base/WindowPlacement.h"
#include "catalogue/FormControls.h"

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
    (void)base::ExploreFolder(folder); // silent: the user sees whether a window opened
}

bool SystemCatalogueShell::ConfirmReplace(HWND owner, const std::wstring& question)
{
    // 否 is the default: Enter pressed once too often keeps the old file.
    const std::wstring caption = TextOf(owner);
    return ::MessageBoxW(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
}

} // namespace catalogue
