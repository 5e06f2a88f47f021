#include "toolkit/TransparentLabel.h"

#include "base/CallHandler.h"
#include "base/Handles.h"
#include "toolkit/ParentBackground.h"

#include <shellapi.h>

namespace toolkit {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryTransparentLabel";

// The parent's picture under the label, composed off screen and copied in
// one go so the label never flashes white while the parent draws.
void PaintLabel(HWND label, HDC dc)
{
    RECT client{};
    if (!::GetClientRect(label, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    base::UniqueBitmap picture(::CreateCompatibleBitmap(dc, client.right, client.bottom));
    base::UniqueMemoryDc memory = base::CreateMemoryDc(dc);
    if (!picture || !memory)
        return;
    const base::SelectGuard select(memory.get(), picture.get());
    PaintParentBehind(label, memory.get(), client.right, client.bottom);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

// The paths of a drop, which is then finished (its memory freed).
std::vector<std::wstring> TakeDroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    ::DragFinish(drop);
    return paths;
}

} // namespace

void TransparentLabel::AcceptDroppedFiles(bool accept)
{
    if (Handle())
        ::DragAcceptFiles(Handle(), accept ? TRUE : FALSE);
}

bool TransparentLabel::Create(HWND parent, const RECT& rect)
{
    return CreateFrom({.name = kClassName, .style = CS_DBLCLKS}, ChildAt(parent, rect));
}

LRESULT TransparentLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; HandlePaintMessage(message, wParam, result,
                                               [this](HDC dc, const RECT&) { PaintLabel(Handle(), dc); }))
        return result;
    switch (message) {
    case WM_LBUTTONDOWN:
        // A drag of the parent started from the handler runs a whole loop in
        // there, and the label may be gone when it returns.
        (void)base::CallAndCheckAlive(m_events.leftButtonDown, StillAlive());
        return 0;
    case WM_LBUTTONDBLCLK:
        (void)base::CallAndCheckAlive(m_events.doubleClick, StillAlive());
        return 0;
    case WM_DROPFILES: {
        std::vector<std::wstring> paths = TakeDroppedPaths(reinterpret_cast<HDROP>(wParam));
        if (!paths.empty())
            (void)base::CallAndCheckAlive(m_events.filesDropped, StillAlive(), std::move(paths));
        return 0;
    }
    default:
        break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

} // namespace toolkit
