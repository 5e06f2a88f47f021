#include "catalogue/ShortcutFields.h"

#include "base/PathParts.h"
#include "catalogue/CatalogueFolder.h"
#include "toolkit/PanelControls.h"

namespace catalogue {

std::wstring ShortcutNameFor(std::wstring_view path)
{
    // A program without an extension is given no name: the user types one.
    return std::wstring(base::StemOf(base::FileNameOf(path)).value_or(L""));
}

void RefreshGroupChoices(HWND combo, const std::wstring& root)
{
    if (!combo)
        return;
    const std::wstring typed = toolkit::TextOf(combo);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& group : GroupFolders(root))
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.c_str()));
    if (typed.empty())
        return;
    const LRESULT listed = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(typed.c_str()));
    if (listed != CB_ERR)
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(listed), 0);
    else
        ::SetWindowTextW(combo, typed.c_str());
}

std::wstring RefusalText(std::wstring_view field, NameProblem problem)
{
    std::wstring text(field);
    switch (problem) {
    case NameProblem::None:
        return {};
    case NameProblem::Empty:
        return text + L"不能为空";
    case NameProblem::ForbiddenCharacter:
        return text + L"不能包含 \\ / : * ? \" < > | 等字符";
    case NameProblem::DotName:
        return text + L"不能是“.”或“..”";
    case NameProblem::TrailingDotOrSpace:
        return text + L"不能以空格或“.”结尾";
    case NameProblem::DeviceName:
        return text + L"不能是系统保留的设备名（如 CON、NUL）";
    case NameProblem::LeadingDot:
        return text + L"不能以“.”开头";
    }
    return {};
}

void ShortcutFields::ShowProgram(const std::wstring& path)
{
    ::SetWindowTextW(m_controls.path, path.c_str());
    ::SetWindowTextW(m_controls.name, ShortcutNameFor(path).c_str());
}

bool ShortcutFields::Browse(HWND owner)
{
    if (!m_settings.shell)
        return false;
    const std::wstring path = m_settings.shell->ChooseProgram(owner);
    // The window may have gone while the dialog was open.
    if (path.empty() || !::IsWindow(m_controls.path))
        return false;
    ShowProgram(path);
    return true;
}

void ShortcutFields::FocusNextEmpty() const noexcept
{
    ::SetFocus(::GetWindowTextLengthW(m_controls.name) > 0 ? m_controls.group : m_controls.name);
}

ShortcutFields::Saved ShortcutFields::Save(HWND owner)
{
    const std::wstring name = toolkit::TextOf(m_controls.name);
    const std::wstring path = toolkit::TextOf(m_controls.path);
    const std::wstring group = toolkit::TextOf(m_controls.group);
    if (name.empty() || path.empty() || group.empty())
        return Saved::Nothing;

    WriteResult result = WriteShortcut(m_settings.root, group, name, path, m_settings.codePage, IfNameTaken::Keep);
    if (result == WriteResult::NameTaken) {
        const bool replace =
            m_settings.shell && m_settings.shell->ConfirmReplace(owner, L"已有同名快捷方式“" + name + L"”，要替换吗？");
        // The window may have gone while the question was open.
        if (!::IsWindow(m_controls.status))
            return Saved::NotWritten;
        if (!replace) {
            SetStatus(L"未替换“" + name + L"”");
            return Saved::NotWritten;
        }
        result = WriteShortcut(m_settings.root, group, name, path, m_settings.codePage, IfNameTaken::Replace);
    }
    switch (result) {
    case WriteResult::Written:
        SetStatus({});
        return Saved::Written;
    case WriteResult::RefusedName:
        SetStatus(RefusalText(kShortcutNameField, CheckName(name)));
        break;
    case WriteResult::RefusedGroup:
        SetStatus(RefusalText(kShortcutGroupField, CheckGroupName(group)));
        break;
    case WriteResult::MissingGroup:
        SetStatus(L"目录“" + group + L"”不存在，未能添加");
        break;
    case WriteResult::NameTaken: // only asked for above
    case WriteResult::Failed:
        SetStatus(L"未能保存“" + name + L"”");
        break;
    }
    return Saved::NotWritten;
}

void ShortcutFields::ClearEntries()
{
    ::SetWindowTextW(m_controls.name, L"");
    ::SetWindowTextW(m_controls.path, L"");
    ::SendMessageW(m_controls.group, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::SetWindowTextW(m_controls.group, L"");
}

void ShortcutFields::SetStatus(const std::wstring& text)
{
    // Unchanged text is not set again: the line would flicker.
    if (toolkit::TextOf(m_controls.status) != text)
        ::SetWindowTextW(m_controls.status, text.c_str());
}

} // namespace catalogue
