#include "base/FocusMemory.h"

namespace base {

void FocusMemory::OnActivate(HWND window, WPARAM state) noexcept
{
    if (LOWORD(state) != WA_INACTIVE)
        return;
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(window, focus))
        m_last = focus;
}

void FocusMemory::OnSetFocus(HWND window, HWND fallback) const noexcept
{
    const bool usable = m_last && ::IsChild(window, m_last) && ::IsWindowEnabled(m_last) && ::IsWindowVisible(m_last);
    HWND target = usable ? m_last : fallback ? fallback : ::GetNextDlgTabItem(window, nullptr, FALSE);
    if (target)
        ::SetFocus(target);
}

} // namespace base
