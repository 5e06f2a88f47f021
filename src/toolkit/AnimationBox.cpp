#include "toolkit/AnimationBox.h"

#include "base/CallHandler.h"
#include "base/Dib32.h"
#include "base/MouseLeaveTracker.h"
#include "toolkit/ParentBackground.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace toolkit {

namespace {

constexpr wchar_t kClassName[] = L"QuilleryAnimationBox";
constexpr UINT_PTR kFadeTimer = 1;
constexpr UINT kFadeIntervalMs = 15; // about one step per display frame

[[nodiscard]] int ClampLevel(int level) noexcept
{
    return std::clamp(level, 0, 100);
}

// The picture as AlphaBlend wants it. Every pixel is either opaque or fully
// transparent, so premultiplying only means zeroing the key pixels.
[[nodiscard]] base::UniqueBitmap BlendablePicture(HBITMAP picture, COLORREF key, SIZE& size)
{
    BITMAP info{};
    if (!::GetObjectW(picture, sizeof info, &info))
        return {};
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    const std::vector<DWORD> source = base::ReadPixels32(picture);
    base::Dib32 copy = base::CreateDib32(width, height);
    if (source.empty() || !copy.bitmap)
        return {};
    const DWORD keyPixel = base::ToDibPixel(key);
    for (size_t i = 0; i < source.size(); ++i) {
        const DWORD rgb = source[i] & 0x00FFFFFF;
        copy.pixels[i] = rgb == keyPixel ? 0 : (0xFF000000 | rgb);
    }
    size = {width, height};
    return std::move(copy.bitmap);
}

[[nodiscard]] int LevelAt(int from, int to, DWORD elapsedMs, int durationMs) noexcept
{
    if (durationMs <= 0 || elapsedMs >= static_cast<DWORD>(durationMs))
        return to;
    const double progress = static_cast<double>(elapsedMs) / durationMs;
    return from + static_cast<int>(std::lround((to - from) * progress));
}

} // namespace

bool AnimationBox::Create(HWND parent, const RECT& rect)
{
    // No class brush: the box paints every pixel itself, and an erase first
    // would flicker on every fade step.
    return CreateFrom({.name = kClassName}, ChildAt(parent, rect));
}

void AnimationBox::CaptureBackground()
{
    RECT client{};
    if (!Handle() || !::GetClientRect(Handle(), &client) || client.right <= 0 || client.bottom <= 0)
        return;
    const base::WindowDc screen(nullptr);
    base::UniqueBitmap picture(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    base::UniqueMemoryDc dc = base::CreateMemoryDc(screen.get());
    if (!picture || !dc)
        return;
    {
        const base::SelectGuard select(dc.get(), picture.get());
        PaintParentBehind(Handle(), dc.get(), client.right, client.bottom);
    }
    SetBackground(std::move(picture));
}

void AnimationBox::SetBackground(base::UniqueBitmap picture)
{
    m_background = std::move(picture);
    Repaint();
}

int AnimationBox::AddObject(int x, int y, bool visible)
{
    Object object;
    object.id = m_nextId++;
    object.at = {x, y};
    object.visible = visible;
    m_objects.push_back(std::move(object));
    return m_objects.back().id;
}

bool AnimationBox::SetObjectPicture(int id, base::UniqueBitmap picture, COLORREF key)
{
    Object* object = Find(id);
    if (!object)
        return false;
    SIZE size{};
    base::UniqueBitmap blendable;
    if (picture) {
        blendable = BlendablePicture(picture.get(), key, size);
        if (!blendable)
            return false;
    }
    object->picture = std::move(blendable);
    object->size = size;
    object->key = key;
    Repaint();
    return true;
}

int AnimationBox::ObjectTransparency(int id) const
{
    const Object* object = Find(id);
    return object ? object->level : -1;
}

void AnimationBox::SetObjectTransparency(int id, int level)
{
    Object* object = Find(id);
    if (!object)
        return;
    object->fading = false;
    object->thenLevel.reset();
    object->level = ClampLevel(level);
    StopTimerIfIdle();
    Repaint();
}

void AnimationBox::FadeObjectTo(int id, int level, int durationMs)
{
    Object* object = Find(id);
    if (!object)
        return;
    object->thenLevel.reset();
    level = ClampLevel(level);
    if (durationMs <= 0 || !Handle()) {
        SetObjectTransparency(id, level);
        return;
    }
    const DWORD now = ::GetTickCount();
    // Turning round starts from where the running fade is at this moment,
    // not from its last painted step.
    if (object->fading)
        object->level = LevelAt(object->fromLevel, object->toLevel, now - object->startTick, object->durationMs);
    if (object->level == level) {
        object->fading = false;
        StopTimerIfIdle();
        return;
    }
    object->fading = true;
    object->fromLevel = object->level;
    object->toLevel = level;
    object->startTick = now;
    object->durationMs = durationMs;
    if (!m_fadeTimer)
        m_fadeTimer = ::SetTimer(Handle(), kFadeTimer, kFadeIntervalMs, nullptr) != 0;
    if (!m_fadeTimer) { // no timer to drive it: better the end state than a stuck fade
        object->fading = false;
        object->level = level;
        Repaint();
    }
}

void AnimationBox::FlashObject(int id, int level, int durationMs)
{
    const int start = ObjectTransparency(id);
    if (start < 0)
        return;
    FadeObjectTo(id, level, durationMs);
    // Without a running fade (no window, no timer, already there) there is
    // nothing to come back from.
    if (Object* object = Find(id); object && object->fading)
        object->thenLevel = start;
}

bool AnimationBox::IsFading(int id) const
{
    const Object* object = Find(id);
    return object && object->fading;
}

void AnimationBox::SetText(BoxText text)
{
    m_text = std::move(text);
    MakeFont();
    ShowTextAsWindowText();
    Repaint();
}

void AnimationBox::MakeFont()
{
    m_font.reset(::CreateFontW(-base::Scaled(m_text.pixelHeight, m_dpi), 0, 0, 0, m_text.bold ? FW_BOLD : FW_NORMAL,
                               FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, m_text.fontFace.c_str()));
}

void AnimationBox::SetDpi(int dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    // A box that never had text keeps having none.
    if (m_font)
        MakeFont();
    Repaint();
}

void AnimationBox::SetTextOnly(std::wstring text)
{
    if (!m_font) {
        BoxText withFont = m_text;
        withFont.text = std::move(text);
        SetText(std::move(withFont));
        return;
    }
    m_text.text = std::move(text);
    ShowTextAsWindowText();
    Repaint();
}

void AnimationBox::SetTextAt(std::wstring text, POINT origin)
{
    m_text.origin = origin;
    SetTextOnly(std::move(text));
}

void AnimationBox::ShowTextAsWindowText()
{
    // Screen readers and UI automation read the window text, not our pixels.
    if (Handle())
        ::SetWindowTextW(Handle(), m_text.text.c_str());
}

void AnimationBox::Paint(HDC dc, const RECT& area) const
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    // Composed off screen in one known pixel format, then copied in one go,
    // so a fade step never shows a half-drawn box.
    base::Dib32 canvas = base::CreateDib32(width, height);
    base::UniqueMemoryDc canvasDc = base::CreateMemoryDc(dc);
    base::UniqueMemoryDc sourceDc = base::CreateMemoryDc(dc);
    if (!canvas.bitmap || !canvasDc || !sourceDc)
        return;
    const base::SelectGuard selectCanvas(canvasDc.get(), canvas.bitmap.get());

    const RECT all{0, 0, width, height};
    ::FillRect(canvasDc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (m_background) {
        const base::SelectGuard select(sourceDc.get(), m_background.get());
        ::BitBlt(canvasDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY);
    }

    for (const Object& object : m_objects) {
        if (!object.visible || !object.picture || object.level >= 100)
            continue;
        BLENDFUNCTION blend{};
        blend.BlendOp = AC_SRC_OVER;
        blend.SourceConstantAlpha = static_cast<BYTE>(((100 - object.level) * 255 + 50) / 100);
        blend.AlphaFormat = AC_SRC_ALPHA;
        const base::SelectGuard select(sourceDc.get(), object.picture.get());
        ::AlphaBlend(canvasDc.get(), object.at.x, object.at.y, object.size.cx, object.size.cy, sourceDc.get(), 0, 0,
                     object.size.cx, object.size.cy, blend);
    }

    if (!m_text.text.empty() && m_font) {
        const base::SelectGuard select(canvasDc.get(), m_font.get());
        ::SetBkMode(canvasDc.get(), TRANSPARENT);
        ::SetTextColor(canvasDc.get(), m_text.colour);
        RECT box = all;
        UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (m_text.origin) {
            box.left = base::Scaled(m_text.origin->x, m_dpi);
            box.top = base::Scaled(m_text.origin->y, m_dpi);
            format |= DT_LEFT | DT_TOP;
        } else {
            format |= DT_VCENTER | m_text.format;
        }
        ::DrawTextW(canvasDc.get(), m_text.text.c_str(), static_cast<int>(m_text.text.size()), &box, format);
    }

    ::BitBlt(dc, area.left, area.top, width, height, canvasDc.get(), 0, 0, SRCCOPY);
}

LRESULT AnimationBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; HandlePaintMessage(message, wParam, result,
                                               [this](HDC dc, const RECT& client) { Paint(dc, client); }))
        return result;
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away between press and release: no click.
        m_pressedId = 0;
        return 0;
    case WM_TIMER:
        if (wParam == kFadeTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_DESTROY:
        m_fadeTimer = false;
        m_hoverId = 0;
        m_pressedId = 0;
        for (Object& object : m_objects) {
            if (object.fading) {
                object.fading = false;
                object.level = object.thenLevel.value_or(object.toLevel);
                object.thenLevel.reset();
            }
        }
        break;
    default:
        break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

AnimationBox::Object* AnimationBox::Find(int id)
{
    auto it = std::find_if(m_objects.begin(), m_objects.end(), [id](const Object& o) { return o.id == id; });
    return it == m_objects.end() ? nullptr : &*it;
}

const AnimationBox::Object* AnimationBox::Find(int id) const
{
    return const_cast<AnimationBox*>(this)->Find(id);
}

int AnimationBox::ObjectAt(POINT p) const
{
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) {
        if (!it->visible || !it->picture)
            continue;
        const RECT r{it->at.x, it->at.y, it->at.x + it->size.cx, it->at.y + it->size.cy};
        if (::PtInRect(&r, p))
            return it->id;
    }
    return 0;
}

void AnimationBox::OnMouseMove(POINT p)
{
    (void)base::MouseLeaveTracker::Rearm(Handle());
    const int hit = ObjectAt(p);
    if (hit == m_hoverId)
        return;
    const int left = std::exchange(m_hoverId, hit);
    if (left && !base::CallAndCheckAlive(m_events.objectLeave, StillAlive(), left))
        return;
    // The leave handler may have moved things; report only what is still hovered.
    if (hit && m_hoverId == hit)
        (void)base::CallAndCheckAlive(m_events.objectEnter, StillAlive(), hit);
}

void AnimationBox::OnMouseLeave()
{
    if (const int left = std::exchange(m_hoverId, 0))
        (void)base::CallAndCheckAlive(m_events.objectLeave, StillAlive(), left);
}

void AnimationBox::OnButtonDown(POINT p)
{
    m_pressedId = ObjectAt(p);
    if (m_pressedId)
        ::SetCapture(Handle());
}

void AnimationBox::OnButtonUp(POINT p)
{
    const int pressed = std::exchange(m_pressedId, 0);
    if (::GetCapture() == Handle())
        ::ReleaseCapture();
    if (pressed && ObjectAt(p) == pressed)
        (void)base::CallAndCheckAlive(m_events.objectClick, StillAlive(), pressed);
}

void AnimationBox::OnTimer()
{
    const DWORD now = ::GetTickCount();
    bool changed = false;
    for (Object& object : m_objects) {
        if (!object.fading)
            continue;
        const DWORD elapsed = now - object.startTick;
        const int level = LevelAt(object.fromLevel, object.toLevel, elapsed, object.durationMs);
        changed = changed || level != object.level;
        object.level = level;
        if (elapsed < static_cast<DWORD>(object.durationMs))
            continue;
        object.fading = false;
        if (object.thenLevel) {
            object.fading = true;
            object.fromLevel = level;
            object.toLevel = *object.thenLevel;
            object.startTick = now;
            object.thenLevel.reset();
        }
    }
    StopTimerIfIdle();
    if (changed)
        ::InvalidateRect(Handle(), nullptr, FALSE);
}

void AnimationBox::Repaint()
{
    if (!Handle())
        return;
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
}

void AnimationBox::StopTimerIfIdle()
{
    if (!m_fadeTimer || std::any_of(m_objects.begin(), m_objects.end(), [](const Object& o) { return o.fading; }))
        return;
    ::KillTimer(Handle(), kFadeTimer);
    m_fadeTimer = false;
}

} // namespace toolkit
