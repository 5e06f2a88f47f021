#include "base/Clipboard.h"

#include "base/Handles.h"

#include <cstring>

namespace base {

bool CopyTextToClipboard(HWND owner, const std::wstring& text) noexcept
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* at = ::GlobalLock(memory.get());
    if (!at)
        return false;
    std::memcpy(at, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = ::OpenClipboard(owner) != FALSE); ++attempt)
        ::Sleep(10);
    if (!open)
        return false;
    const bool set = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory.get());
    if (set)
        (void)memory.release(); // the clipboard owns it now
    ::CloseClipboard();
    return set;
}

} // namespace base
