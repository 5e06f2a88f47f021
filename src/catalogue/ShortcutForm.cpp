#include "catalogue/ShortcutForm.h"

#include <utility>

namespace catalogue {

ShortcutForm::ShortcutForm(CatalogueWindowSettings settings) : m_settings(std::move(settings)) {}

bool ShortcutForm::CreateForm(HWND owner, const toolkit::PanelDesign& design)
{
    if (!CreatePanel(owner, design))
        return false;
    m_fields.Attach(
        {.name = ShortcutNameEdit(), .path = ProgramPathEdit(), .group = GroupCombo(), .status = StatusLine()});
    return true;
}

void ShortcutForm::BrowseProgram()
{
    if (m_fields.Browse(Handle()))
        m_fields.FocusNextEmpty();
}

void ShortcutForm::RefreshGroupChoices()
{
    m_fields.RefreshGroups();
}

void ShortcutForm::OnClicked(int id)
{
    if (id == kBrowseButton)
        BrowseProgram();
    else if (id == kRefreshButton)
        RefreshGroupChoices();
}

void ShortcutForm::OnDestroyed()
{
    m_fields.Attach({});
    Panel::OnDestroyed();
}

} // namespace catalogue
