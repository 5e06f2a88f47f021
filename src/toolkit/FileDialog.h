#pragma once
// The system's dialogs for choosing a file or a folder.

#include <windows.h>

#include <string>
#include <string_view>

namespace toolkit {

// The open-file dialog over owner, for an existing file. filter lists the
// choices as a form writes them, "名称|*.ext|名称|*.a;*.b"; defaultExtension
// (without the dot, or null) is added to a name typed without one. The
// chosen file's full path; empty when cancelled.
[[nodiscard]] std::wstring ChooseFile(HWND owner, std::wstring_view filter, const wchar_t* defaultExtension = nullptr);

// The folder dialog over owner, titled title. The chosen folder; empty when
// cancelled or when the choice is no folder of the file system.
[[nodiscard]] std::wstring ChooseFolder(HWND owner, const std::wstring& title);

} // namespace toolkit
