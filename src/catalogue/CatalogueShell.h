#pragma once
// What the management panel and the drop window ask of the shell, and the
// settings both windows are made with.

#include <windows.h>

#include <functional>
#include <string>

namespace catalogue {

// The shell dialogs and questions the two windows use; tests hand in fakes.
class CatalogueShell {
public:
    virtual ~CatalogueShell() = default;
    // Full path of the chosen file, or empty when cancelled.
    [[nodiscard]] virtual std::wstring ChooseProgram(HWND owner) = 0;
    // Opens the folder in the system's file browser.
    virtual void Explore(const std::wstring& folder) = 0;
    // Asks whether a saved shortcut may be replaced; "no" unless the user
    // says yes.
    [[nodiscard]] virtual bool ConfirmReplace(HWND owner, const std::wstring& question) = 0;
};

// The open-file dialog for programs (or any file), ShellExecuteExW("explore"),
// MessageBoxW for questions.
class SystemCatalogueShell final : public CatalogueShell {
public:
    [[nodiscard]] std::wstring ChooseProgram(HWND owner) override;
    void Explore(const std::wstring& folder) override;
    [[nodiscard]] bool ConfirmReplace(HWND owner, const std::wstring& question) override;
};

struct CatalogueWindowSettings {
    std::wstring root;               // the catalogue folder
    unsigned codePage = 0;           // CP_ACP; tests pin 936
    CatalogueShell* shell = nullptr; // not owned
    std::function<void()> reload;    // rebuilds the main window's list
};

} // namespace catalogue
