#include "catalogue/DropAddWindow.h"

#include <iterator>

namespace catalogue {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryDropAddWindow";

// Ids clear of IDOK and IDCANCEL, which the dialog manager sends for
// Enter and Escape; the form's number is added to each base.
constexpr int kLabelId = 100;
constexpr int kEditId = 200;
constexpr int kButtonId = 300;
constexpr int kComboId = 601;
constexpr int kStatusId = 701;

constexpr int kSaveButton = 3;

using Kind = ControlKind;
constexpr ControlPlace kControls[] = {
    {Kind::Label, kLabelId + 4, L"文件名称：", 28, 24, 80, 24},
    {Kind::Edit, kEditId + 1, L"", 108, 24, 168, 24},
    {Kind::Label, kLabelId + 5, L"文件地址：", 28, 56, 80, 24},
    {Kind::Edit, kEditId + 2, L"", 108, 56, 283, 24},
    {Kind::Button, kButtonId + 1, L"...", 396, 56, 72, 24},
    {Kind::Label, kLabelId + 6, L"文件目录", 28, 92, 67, 24},
    {Kind::Combo, kComboId, L"", 110, 91, 145, 27},
    {Kind::Button, kButtonId + 2, L"刷新", 260, 92, 72, 24},
    {Kind::Status, kStatusId, L"", 28, 136, 360, 24},
    {Kind::DefaultButton, kButtonId + kSaveButton, L"确定", 396, 136, 72, 24},
};

} // namespace

DropAddWindow::DropAddWindow(CatalogueWindowSettings settings) : m_settings(std::move(settings)) {}

DropAddWindow::~DropAddWindow()
{
    // Destroyed here, while the handlers and fonts still exist.
    if (Handle())
        ::DestroyWindow(Handle());
}

bool DropAddWindow::Open(HWND owner, std::vector<std::wstring> droppedPaths)
{
    std::erase_if(droppedPaths, [](const std::wstring& path) { return path.empty(); });
    if (droppedPaths.empty())
        return Handle() != nullptr;
    const bool wasOpen = Handle() != nullptr;
    if (!wasOpen && !Create(owner))
        return false;

    m_waiting.insert(m_waiting.end(), std::make_move_iterator(droppedPaths.begin()),
                     std::make_move_iterator(droppedPaths.end()));
    ::SetForegroundWindow(Handle());
    // An open window whose path box was emptied has nothing pending: the
    // new path takes its place at once.
    if (!wasOpen || ::GetWindowTextLengthW(Edit(2)) == 0)
        ShowNext();
    return true;
}

bool DropAddWindow::Create(HWND owner)
{
    if (!CreateForm(kClassName, kDropAddTitle, owner, {kDropAddWidth, kDropAddHeight}))
        return false;
    if (!MakeControls(Handle(), kControls)) {
        ::DestroyWindow(Handle());
        return false;
    }
    LayOut();
    m_fields.Attach({.name = Edit(1), .path = Edit(2), .group = Combo(), .status = Status()});
    RefreshGroupChoices();
    ::ShowWindow(Handle(), SW_SHOW);
    return true;
}

void DropAddWindow::PlaceContent(const FormFonts& fonts)
{
    PlaceControls(Handle(), kControls, {0, 0}, fonts, Dpi());
}

HWND DropAddWindow::DefaultButton() const noexcept
{
    HWND focus = ::GetFocus();
    return focus && ::IsChild(Handle(), focus) && IsPushButton(focus) ? focus : Button(kSaveButton);
}

HWND DropAddWindow::Item(int id) const noexcept
{
    return Handle() ? ::GetDlgItem(Handle(), id) : nullptr;
}

HWND DropAddWindow::Label(int number) const noexcept { return Item(kLabelId + number); }
HWND DropAddWindow::Edit(int number) const noexcept { return Item(kEditId + number); }
HWND DropAddWindow::Button(int number) const noexcept { return Item(kButtonId + number); }
HWND DropAddWindow::Combo() const noexcept { return Item(kComboId); }
HWND DropAddWindow::Status() const noexcept { return Item(kStatusId); }

void DropAddWindow::BrowseProgram()
{
    if (m_fields.Browse(Handle()))
        m_fields.FocusNextEmpty();
}

void DropAddWindow::RefreshGroupChoices()
{
    m_fields.RefreshGroups();
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

void DropAddWindow::Close()
{
    if (Handle())
        ::DestroyWindow(Handle());
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

LRESULT DropAddWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID:
        return DefaultButtonId();
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == Status())
            return StatusColours(reinterpret_cast<HDC>(wParam));
        return Default(message, wParam, lParam);
    case WM_DPICHANGED:
        return OnDpiChanged(wParam, lParam);
    case WM_ACTIVATE:
        m_focus.OnActivate(Handle(), wParam);
        return Default(message, wParam, lParam);
    case WM_SETFOCUS:
        m_focus.OnSetFocus(Handle());
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void DropAddWindow::OnDestroyed()
{
    // Closing drops whatever still waits.
    m_waiting.clear();
    m_fields.Attach({});
    m_focus.Forget();
}

void DropAddWindow::OnCommand(int id, int notification, HWND control)
{
    if (id == IDCANCEL) { // Escape
        Close();
        return;
    }
    if (id == IDOK) { // Enter, should the default button not be asked for
        PressDefaultButton();
        return;
    }
    FollowFocus(control, notification);
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case kButtonId + 1:
        BrowseProgram();
        break;
    case kButtonId + 2:
        RefreshGroupChoices();
        break;
    case kButtonId + kSaveButton:
        Save();
        break;
    default:
        break;
    }
}

} // namespace catalogue
