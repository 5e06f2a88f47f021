#include "base/WindowPlacement.h"

#include "base/Dpi.h"
#include "base/LongPath.h"
#include "base/PathParts.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace base {

RECT CentredOver(HWND owner, int width, int height) noexcept
{
    HMONITOR monitor = owner ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                             : ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(monitor, &info))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    const RECT work = info.rcWork;

    RECT around = work;
    if (owner)
        ::GetWindowRect(owner, &around);
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    x = std::max(std::min(x, static_cast<int>(work.right) - width), static_cast<int>(work.left));
    y = std::max(std::min(y, static_cast<int>(work.bottom) - height), static_cast<int>(work.top));
    return {x, y, x + width, y + height};
}

RECT FramedPlaceOver(HWND owner, SIZE designSize, DWORD style, DWORD exStyle, int dpi) noexcept
{
    const SIZE size = FramedWindowSizeAt(designSize, style, exStyle, dpi);
    return CentredOver(owner, size.cx, size.cy);
}

bool ExploreFolder(const std::wstring& folder) noexcept
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"explore";
    execute.lpFile = folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&execute) != FALSE;
}

bool ShowInFolder(const std::wstring& path) noexcept
{
    const std::wstring plain = WithoutExtendedPrefix(path);
    if (PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(plain.c_str())) {
        const HRESULT shown = ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        ::ILFree(item);
        if (SUCCEEDED(shown))
            return true;
    }
    const std::wstring folder = FolderOf(plain);
    return !folder.empty() && ExploreFolder(folder + L"\\");
}

} // namespace base
