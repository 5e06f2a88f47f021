#include "app/MainWindowArt.h"

#include "app/MainLayout.h"
#include "base/Dpi.h"
#include "base/Handles.h"

namespace app {

namespace {

void VerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom)
{
    TRIVERTEX v[2] = {
        {r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
         static_cast<COLOR16>(GetBValue(top) << 8), 0},
        {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
         static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0},
    };
    GRADIENT_RECT rect = {0, 1};
    ::GradientFill(dc, v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    base::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, brush.get());
}

base::UniqueFont MakeFont(int pixelHeight, int weight)
{
    return base::UniqueFont(::CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                          DEFAULT_PITCH | FF_SWISS, L"微软雅黑"));
}

void DrawLabel(HDC dc, const wchar_t* text, RECT r, COLORREF colour, HFONT font, UINT align)
{
    base::SelectGuard useFont(dc, font);
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, -1, &r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Line(HDC dc, HPEN pen, int x1, int y1, int x2, int y2)
{
    base::SelectGuard usePen(dc, pen);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void Triangle(HDC dc, const POINT (&points)[3], COLORREF colour)
{
    base::UniqueBrush brush(::CreateSolidBrush(colour));
    base::UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    base::SelectGuard useBrush(dc, brush.get());
    base::SelectGuard usePen(dc, pen.get());
    ::Polygon(dc, points, 3);
}

constexpr RECT kTitleBarRect = {0, 0, kMainWidth, 32};
constexpr int kTitleTextLeft = 31; // right of the icon
constexpr int kBarTopY = 516;

// Everything is laid out in design pixels and put on the screen's through
// S, so the picture is drawn at its scale rather than stretched to it.
struct Scale {
    int dpi;
    [[nodiscard]] int operator()(int designPixels) const noexcept { return base::Scaled(designPixels, dpi); }
    [[nodiscard]] RECT Edges(const RECT& r) const noexcept
    {
        return {(*this)(r.left), (*this)(r.top), (*this)(r.right), (*this)(r.bottom)};
    }
    [[nodiscard]] RECT Box(const RECT& r) const noexcept { return base::ScaledRect(r, dpi); }
};

void PaintTitleBar(HDC dc, HICON titleIcon, const Scale& S)
{
    VerticalGradient(dc, S.Edges(kTitleBarRect), art::kTitleTop, art::kTitleBottom);
    int textLeft = 10;
    if (titleIcon) {
        ::DrawIconEx(dc, S(9), S(8), titleIcon, S(16), S(16), 0, nullptr, DI_NORMAL);
        textLeft = kTitleTextLeft;
    }
    base::UniqueFont font = MakeFont(S(15), FW_BOLD);
    DrawLabel(dc, L"Quillery", S.Edges({textLeft, 0, kTitleLabelRect.right, 31}), art::kTitleText, font.get(),
              DT_LEFT);

    // Window buttons: a bar for minimise, a cross for close, centred in their boxes.
    const LOGBRUSH glyphBrush = {BS_SOLID, art::kGlyph, 0};
    base::UniquePen pen(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, S(2), &glyphBrush, 0, nullptr));
    const RECT minimise = S.Box(kMinimiseBoxRect);
    const int minX = (minimise.left + minimise.right) / 2;
    const int minY = minimise.top + S(12);
    Line(dc, pen.get(), minX - S(5), minY, minX + S(6), minY);
    const RECT close = S.Box(kCloseBoxRect);
    const int closeX = (close.left + close.right) / 2;
    const int closeY = (close.top + close.bottom) / 2;
    Line(dc, pen.get(), closeX - S(5), closeY - S(5), closeX + S(5), closeY + S(5));
    Line(dc, pen.get(), closeX + S(5), closeY - S(5), closeX - S(5), closeY + S(5));
}

void PaintWeatherArea(HDC dc, const Scale& S)
{
    {
        base::UniqueBrush fill(::CreateSolidBrush(art::kWeatherPanel));
        const RECT weather = S.Box(kWeatherBoxRect);
        // Inside the frame, the border grows inwards with the scale.
        base::UniquePen border(::CreatePen(PS_INSIDEFRAME, S(1), art::kPanelBorder));
        base::SelectGuard useBrush(dc, fill.get());
        base::SelectGuard usePen(dc, border.get());
        ::RoundRect(dc, weather.left - S(3), weather.top - S(2), weather.right + S(1), weather.bottom + S(2), S(9),
                    S(9));
    }
    // Previous and next day: small triangles centred in their boxes.
    const RECT previous = S.Box(kPreviousBoxRect);
    const RECT next = S.Box(kNextBoxRect);
    const int ax = (previous.left + previous.right) / 2;
    const int upY = (previous.top + previous.bottom) / 2;
    Triangle(dc, {{ax - S(5), upY + S(3)}, {ax + S(5), upY + S(3)}, {ax, upY - S(2)}}, art::kArrow);
    const int downY = (next.top + next.bottom) / 2;
    Triangle(dc, {{ax - S(5), downY - S(3)}, {ax + S(5), downY - S(3)}, {ax, downY + S(2)}}, art::kArrow);
}

void PaintListPanel(HDC dc, const Scale& S)
{
    const RECT list = S.Box(kListHostRect);
    const int t = S(1);
    FillSolid(dc, {list.left - t, list.top - t, list.right + t, list.bottom + t}, art::kPanelBorder);
    FillSolid(dc, list, art::kListPanel);
}

void PaintBottomBar(HDC dc, const Scale& S)
{
    const int width = S(kMainWidth);
    const int barTop = S(kBarTopY);
    VerticalGradient(dc, {0, barTop, width, S(kMainHeight)}, art::kBarTop, art::kBarBottom);
    FillSolid(dc, {0, barTop, width, barTop + S(1)}, art::kBarLine);
    // Separators between the management, track and play boxes.
    const RECT manage = S.Box(kManageBoxRect);
    const RECT music = S.Box(kMusicBoxRect);
    const RECT play = S.Box(kPlayBoxRect);
    for (int x : {(manage.right + music.left) / 2, (music.right + play.left) / 2})
        FillSolid(dc, {x, music.top + S(3), x + S(1), music.bottom - S(3)}, art::kBarLine);
    base::UniqueFont font = MakeFont(S(14), FW_BOLD);
    DrawLabel(dc, L"管理", manage, art::kBarText, font.get(), DT_CENTER);
}

void PaintFrame(HDC dc, const Scale& S)
{
    const int width = S(kMainWidth);
    const int height = S(kMainHeight);
    const int t = S(1);
    base::UniqueBrush frame(::CreateSolidBrush(art::kFrame));
    const RECT edges[] = {
        {0, 0, width, t}, {0, height - t, width, height}, {0, 0, t, height}, {width - t, 0, width, height}};
    for (const RECT& edge : edges)
        ::FillRect(dc, &edge, frame.get());
    // The window's corners are cut in a staircase of design pixels; close
    // the frame along it with one step-sized block at each inner corner.
    const POINT steps[] = {{1, 2}, {2, 1}};
    for (const POINT& p : steps) {
        const int x0 = S(p.x), y0 = S(p.y), x1 = S(p.x + 1), y1 = S(p.y + 1);
        const RECT blocks[] = {{x0, y0, x1, y1},
                               {width - x1, y0, width - x0, y1},
                               {x0, height - y1, x1, height - y0},
                               {width - x1, height - y1, width - x0, height - y0}};
        for (const RECT& block : blocks)
            ::FillRect(dc, &block, frame.get());
    }
}

// A lens and its handle, in the title's text colour.
void Magnifier(HDC dc, int left, int top, const Scale& S)
{
    base::UniquePen pen(::CreatePen(PS_SOLID, S(2), art::kTitleText));
    base::SelectGuard usePen(dc, pen.get());
    base::SelectGuard noFill(dc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(dc, left, top, left + S(10), top + S(10));
    ::MoveToEx(dc, left + S(9), top + S(9), nullptr);
    ::LineTo(dc, left + S(14), top + S(14));
}

} // namespace

void PaintFilterTitle(HDC dc, const RECT& area, std::wstring_view filter, int dpi)
{
    const Scale S{dpi};
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    VerticalGradient(dc, S.Edges(kTitleBarRect), art::kTitleTop, art::kTitleBottom);
    Magnifier(dc, S(kTitleTextLeft + 1), S(9), S);
    {
        base::UniqueFont font = MakeFont(S(15), FW_BOLD);
        base::SelectGuard useFont(dc, font.get());
        RECT text = {S(kTitleTextLeft + 20), 0, area.right - S(4), S(31)};
        RECT needed = text;
        ::DrawTextW(dc, filter.data(), static_cast<int>(filter.size()), &needed,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const UINT align = needed.right > text.right ? DT_RIGHT : DT_LEFT;
        ::SetTextColor(dc, art::kTitleText);
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, filter.data(), static_cast<int>(filter.size()), &text,
                    align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::RestoreDC(dc, saved);
}

void PaintMainBackground(HDC dc, const RECT& bounds, HICON titleIcon, int dpi)
{
    const Scale S{dpi};
    // The caller's DC is handed back as it came: origin, colours, modes.
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
    VerticalGradient(dc, {0, S(32), S(kMainWidth), S(kBarTopY)}, art::kBodyTop, art::kBodyBottom);
    PaintTitleBar(dc, titleIcon, S);
    PaintWeatherArea(dc, S);
    PaintListPanel(dc, S);
    PaintBottomBar(dc, S);
    PaintFrame(dc, S);
    ::RestoreDC(dc, saved);
}

} // namespace app
