#pragma once
// The process's live GDI objects. GetGuiResources answers on Windows; under
// Wine it is a stub returning 0, but Wine accepts a handle's 16-bit index
// on its own, so counting the indexes that name an object gives the figure.

#include <windows.h>

namespace testing_support {

inline int LiveGdiObjects()
{
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    int count = 0;
    for (UINT_PTR i = 1; i <= 0xFFFF; ++i)
        count += ::GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
    return count;
}

} // namespace testing_support
