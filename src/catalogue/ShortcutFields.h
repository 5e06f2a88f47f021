#pragma once
// The shortcut fields both catalogue windows have: the name, the program
// path, the group and a status line that says why an add did nothing.

#include "catalogue/CatalogueShell.h"
#include "catalogue/CatalogueWriter.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace catalogue {

// What a program path suggests as the shortcut's name: the file name cut
// before its last "."; empty when it has no ".". C:\A\b.c.exe gives b.c.
[[nodiscard]] std::wstring ShortcutNameFor(std::wstring_view path);

// Refills the combo box with the group folders, in the file system's order.
// The text typed or chosen stays.
void RefreshGroupChoices(HWND combo, const std::wstring& root);

// The status line's reason for refusing a name; `field` names the field.
[[nodiscard]] std::wstring RefusalText(std::wstring_view field, NameProblem problem);

inline constexpr wchar_t kGroupNameField[] = L"目录名称";
inline constexpr wchar_t kShortcutNameField[] = L"文件名称";
inline constexpr wchar_t kShortcutGroupField[] = L"文件目录";

class ShortcutFields {
public:
    struct Controls {
        HWND name = nullptr; // all not owned: children of the window
        HWND path = nullptr;
        HWND group = nullptr;
        HWND status = nullptr;
    };

    explicit ShortcutFields(const CatalogueWindowSettings& settings) noexcept : m_settings(settings) {}

    void Attach(const Controls& controls) noexcept { m_controls = controls; }

    // The path as given, and the name it suggests.
    void ShowProgram(const std::wstring& path);
    // The shell's file dialog; false (fields as they were) when cancelled.
    [[nodiscard]] bool Browse(HWND owner);
    void RefreshGroups() { RefreshGroupChoices(m_controls.group, m_settings.root); }
    // The group when the name is filled in, else the name.
    void FocusNextEmpty() const noexcept;

    enum class Saved { Nothing, NotWritten, Written };
    // Nothing when a field is empty; NotWritten with the reason in the
    // status line; Written with the status line cleared. Another path saved
    // under the name is replaced only when the user says so, asked over
    // owner; the same path again is simply saved.
    [[nodiscard]] Saved Save(HWND owner);

    void ClearEntries();
    void SetStatus(const std::wstring& text);

private:
    const CatalogueWindowSettings& m_settings;
    Controls m_controls;
};

} // namespace catalogue
