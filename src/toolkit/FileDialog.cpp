#include "toolkit/FileDialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

namespace toolkit {

namespace {

// Room for long paths; the dialogs write one name and a terminator.
constexpr size_t kPathRoom = 32768;

} // namespace

std::wstring ChooseFile(HWND owner, std::wstring_view filter, const wchar_t* defaultExtension)
{
    // The dialog wants each text ended by a NUL, and one more after the last.
    std::wstring choices(filter);
    std::replace(choices.begin(), choices.end(), L'|', L'\0');
    choices.append(2, L'\0');

    std::wstring buffer(kPathRoom, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = choices.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&dialog))
        return {};
    buffer.resize(::wcsnlen(buffer.c_str(), buffer.size()));
    return buffer;
}

std::wstring ChooseFolder(HWND owner, const std::wstring& title)
{
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    std::wstring path(kPathRoom, L'\0');
    if (!::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
        path.assign(MAX_PATH, L'\0');
        if (!::SHGetPathFromIDListW(chosen, path.data()))
            path.clear();
    }
    ::CoTaskMemFree(chosen);
    path.resize(::wcsnlen(path.c_str(), path.size()));
    return path;
}

} // namespace toolkit
