#include "catalogue/CatalogueShell.h"

#include "base/WindowPlacement.h"
#include "toolkit/FileDialog.h"
#include "toolkit/PanelControls.h"

namespace catalogue {

std::wstring SystemCatalogueShell::ChooseProgram(HWND owner)
{
    return toolkit::ChooseFile(owner, L"应用程序(*.exe)|*.exe|所有文件(*.*)|*.*");
}

void SystemCatalogueShell::Explore(const std::wstring& folder)
{
    (void)base::ExploreFolder(folder); // silent: the user sees whether a window opened
}

bool SystemCatalogueShell::ConfirmReplace(HWND owner, const std::wstring& question)
{
    // 否 is the default: Enter pressed once too often keeps the old file.
    const std::wstring caption = toolkit::TextOf(owner);
    return ::MessageBoxW(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
}

} // namespace catalogue
