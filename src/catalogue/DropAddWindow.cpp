#include "catalogue/DropAddWindow.h"

#include <iterator>
#include <utility>

namespace catalogue {

namespace {

using toolkit::ControlKind;

constexpr int kSaveButton = ShortcutForm::kFirstOwnId;

constexpr toolkit::ControlPlace kBottomRows[] = {
    {ControlKind::Status, ShortcutForm::kStatusLine, L"", 28, 136, 360, 24},
    {ControlKind::DefaultButton, kSaveButton, L"确定", 396, 136, 72, 24}, // 按钮3
};
constexpr toolkit::ControlSection kSections[] = {
    {ShortcutForm::kShortcutFieldRows, {28, 24}},
    {kBottomRows},
};

// The whole window at 96 DPI.
constexpr toolkit::PanelDesign kDesign{
    .className = L"QuilleryDropAddWindow", .title = L"拖放添加", .size = {512, 211}, .sections = kSections};

} // namespace

DropAddWindow::DropAddWindow(CatalogueWindowSettings settings) : ShortcutForm(std::move(settings)) {}

DropAddWindow::~DropAddWindow()
{
    // Destroyed here, while the handlers still exist.
    Close();
}

bool DropAddWindow::Open(HWND owner, std::vector<std::wstring> droppedPaths)
{
    std::erase_if(droppedPaths, [](const std::wstring& path) { return path.empty(); });
    if (droppedPaths.empty())
        return Handle() != nullptr;
    const bool wasOpen = Handle() != nullptr;
    if (!wasOpen) {
        if (!CreateForm(owner, kDesign))
            return false;
        RefreshGroupChoices();
        ::ShowWindow(Handle(), SW_SHOW);
    }

    m_waiting.insert(m_waiting.end(), std::make_move_iterator(droppedPaths.begin()),
                     std::make_move_iterator(droppedPaths.end()));
    ::SetForegroundWindow(Handle());
    // An open window whose path box was emptied has nothing pending: the
    // new path takes its place at once.
    if (!wasOpen || ::GetWindowTextLengthW(ProgramPathEdit()) == 0)
        ShowNext();
    return true;
}

HWND DropAddWindow::SaveButton() const noexcept
{
    return Item(kSaveButton);
}

void DropAddWindow::Save()
{
    if (m_fields.Save(Handle()) != ShortcutFields::Saved::Written)
        return;
    if (m_settings.reload)
        m_settings.reload();
    if (!Handle())
        return;
    if (m_waiting.empty())
        Close();
    else
        ShowNext(); // the group chosen stays for the next one
}

void DropAddWindow::ShowNext()
{
    if (m_waiting.empty())
        return;
    const std::wstring path = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_fields.ShowProgram(path);
    m_fields.FocusNextEmpty();
}

void DropAddWindow::OnClicked(int id)
{
    if (id == kSaveButton)
        Save();
    else
        ShortcutForm::OnClicked(id);
}

void DropAddWindow::OnDestroyed()
{
    // Closing drops whatever still waits.
    m_waiting.clear();
    ShortcutForm::OnDestroyed();
}

} // namespace catalogue
