#include "app/MainControls.h"

#include "app/CornerMask.h"
#include "app/MainLayout.h"

#include <cstdlib>
#include <optional>

namespace app {

namespace {

constexpr COLORREF kBarTextColour = RGB(63, 131, 22);

// Faces, sizes and colours of the boxes that carry text.
std::optional<toolkit::BoxText> TextStyleOf(Box box)
{
    switch (box) {
    case Box::Weather:
        return toolkit::BoxText{.text = {}, .pixelHeight = 12, .bold = true, .colour = RGB(0, 0, 0), .format = DT_LEFT};
    case Box::Music:
        return toolkit::BoxText{.text = {}, .pixelHeight = 14, .bold = false, .colour = kBarTextColour, .format = DT_CENTER};
    case Box::Play:
        return toolkit::BoxText{.text = L"播放", .pixelHeight = 14, .bold = true, .colour = kBarTextColour, .format = DT_CENTER};
    default:
        return std::nullopt;
    }
}

// What a screen reader says for the boxes that show only a glyph of the
// background picture.
const wchar_t* SpokenNameOf(Box box)
{
    switch (box) {
    case Box::Manage:
        return L"管理";
    case Box::Minimise:
        return L"最小化";
    case Box::Close:
        return L"关闭";
    case Box::Previous:
        return L"上一天";
    case Box::Next:
        return L"下一天";
    default:
        return nullptr;
    }
}

// A fade over part of the way takes that part of the time.
int FadeDuration(int from, int to)
{
    return kHighlightFadeMs * std::abs(to - from) / (kHighlightHidden - kHighlightShown);
}

} // namespace

RECT BoxRectOf(Box box) noexcept
{
    switch (box) {
    case Box::Weather:
        return kWeatherBoxRect;
    case Box::Music:
        return kMusicBoxRect;
    case Box::Manage:
        return kManageBoxRect;
    case Box::Minimise:
        return kMinimiseBoxRect;
    case Box::Close:
        return kCloseBoxRect;
    case Box::Previous:
        return kPreviousBoxRect;
    case Box::Next:
        return kNextBoxRect;
    case Box::Play:
        return kPlayBoxRect;
    }
    return {};
}

RECT BoxRectOf(Box box, int dpi) noexcept
{
    return base::ScaledRect(BoxRectOf(box), dpi);
}

void FadeHighlightIn(toolkit::AnimationBox& box, int objectId)
{
    const int level = box.ObjectTransparency(objectId);
    if (level <= 0)
        return;
    if (level <= kHighlightShown) {
        box.SetObjectTransparency(objectId, kHighlightShown);
        return;
    }
    box.FadeObjectTo(objectId, kHighlightShown, FadeDuration(level, kHighlightShown));
}

void FadeHighlightOut(toolkit::AnimationBox& box, int objectId)
{
    const int level = box.ObjectTransparency(objectId);
    // A fade-in that has not reached its first step still reads as hidden;
    // it must be turned round all the same.
    if (level < 0 || (level >= kHighlightHidden && !box.IsFading(objectId)))
        return;
    box.FadeObjectTo(objectId, kHighlightHidden, FadeDuration(level, kHighlightHidden));
}

bool MainControls::Create(HWND main, int dpi)
{
    m_dpi = dpi;
    if (!m_titleLabel.Create(main, base::ScaledRect(kTitleLabelRect, dpi)))
        return false;
    // The title is drawn in the main window's picture; the label carries it as text.
    ::SetWindowTextW(m_titleLabel.Handle(), L"Quillery");
    // The filter shows over the title: the title must not paint over it.
    ::SetWindowLongPtrW(m_titleLabel.Handle(), GWL_STYLE,
                        ::GetWindowLongPtrW(m_titleLabel.Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);
    if (!m_filterTitle.Create(main, base::ScaledRect(kFilterTitleRect, dpi), dpi))
        return false;
    for (int number = 1; number <= kBoxCount; ++number) {
        const Box box = static_cast<Box>(number);
        if (!m_boxes[Index(box)].Create(main, BoxRectOf(box, dpi)))
            return false;
        m_boxes[Index(box)].SetDpi(dpi);
    }
    return m_listHost.Create(main, base::ScaledRect(kListHostRect, dpi), RGB(255, 255, 255));
}

void MainControls::RefreshBoxPictures(const AppState& state)
{
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i].CaptureBackground();
        const RECT r = BoxRectOf(static_cast<Box>(i + 1), m_dpi);
        // Without its picture a box simply never highlights.
        (void)m_boxes[i].SetObjectPicture(state.boxObjectIds[i],
                                          MakeCornerMask(r.right - r.left, r.bottom - r.top, m_dpi), kTransparentKey);
    }
}

void MainControls::SetDpi(const AppState& state, int dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    const auto place = [](HWND window, const RECT& r) {
        ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(m_titleLabel.Handle(), base::ScaledRect(kTitleLabelRect, dpi));
    place(m_filterTitle.Handle(), base::ScaledRect(kFilterTitleRect, dpi));
    m_filterTitle.SetDpi(dpi);
    place(m_listHost.Handle(), base::ScaledRect(kListHostRect, dpi));
    for (int number = 1; number <= kBoxCount; ++number) {
        const Box box = static_cast<Box>(number);
        place(m_boxes[Index(box)].Handle(), BoxRectOf(box, dpi));
        m_boxes[Index(box)].SetDpi(dpi);
    }
    RefreshBoxPictures(state);
}

void MainControls::SetupButtonBoxes(AppState& state)
{
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        state.boxObjectIds[i] = m_boxes[i].AddObject();
        // Hidden before it has a picture, so it never shows opaque.
        m_boxes[i].SetObjectTransparency(state.boxObjectIds[i], kHighlightHidden);
    }
    RefreshBoxPictures(state);

    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const Box box = static_cast<Box>(i + 1);
        if (std::optional<toolkit::BoxText> style = TextStyleOf(box))
            m_boxes[i].SetText(*std::move(style));
        else if (const wchar_t* name = SpokenNameOf(box))
            ::SetWindowTextW(m_boxes[i].Handle(), name);
        toolkit::AnimationBox* window = &m_boxes[i];
        // The weather box always fades its own stored object; the others the
        // object the event names (the same single object).
        const int weatherObject = state.boxObjectIds[0];
        m_boxes[i].SetEvents({
            .objectEnter = [window, box, weatherObject](int id) {
                FadeHighlightIn(*window, box == Box::Weather ? weatherObject : id);
            },
            .objectLeave = [window, box, weatherObject](int id) {
                FadeHighlightOut(*window, box == Box::Weather ? weatherObject : id);
            },
            .objectClick = [this, i](int) {
                // A copy: the action may replace itself or close the window.
                if (std::function<void()> action = m_clicks[i])
                    action();
            },
        });
    }
}

void MainControls::SetBoxClick(Box box, std::function<void()> action)
{
    m_clicks[Index(box)] = std::move(action);
}

} // namespace app
