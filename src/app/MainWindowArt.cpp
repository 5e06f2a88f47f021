#include "app/MainWindowArt.h"

#include "app/MainLayout.h"
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

void PaintTitleBar(HDC dc, HICON titleIcon)
{
    VerticalGradient(dc, kTitleBarRect, art::kTitleTop, art::kTitleBottom);
    int textLeft = 10;
    if (titleIcon) {
        ::DrawIconEx(dc, 9, 8, titleIcon, 16, 16, 0, nullptr, DI_NORMAL);
        textLeft = kTitleTextLeft;
    }
    base::UniqueFont font = MakeFont(15, FW_BOLD);
    DrawLabel(dc, L"Quillery", {textLeft, 0, kTitleLabelRect.right, 31}, art::kTitleText, font.get(), DT_LEFT);

    // Window buttons: a bar for minimise, a cross for close, centred in their boxes.
    const LOGBRUSH glyphBrush = {BS_SOLID, art::kGlyph, 0};
    base::UniquePen pen(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 2, &glyphBrush, 0, nullptr));
    const int minX = (kMinimiseBoxRect.left + kMinimiseBoxRect.right) / 2;
    const int minY = kMinimiseBoxRect.top + 12;
    Line(dc, pen.get(), minX - 5, minY, minX + 6, minY);
    const int closeX = (kCloseBoxRect.left + kCloseBoxRect.right) / 2;
    const int closeY = (kCloseBoxRect.top + kCloseBoxRect.bottom) / 2;
    Line(dc, pen.get(), closeX - 5, closeY - 5, closeX + 5, closeY + 5);
    Line(dc, pen.get(), closeX + 5, closeY - 5, closeX - 5, closeY + 5);
}

void PaintWeatherArea(HDC dc)
{
    {
        base::UniqueBrush fill(::CreateSolidBrush(art::kWeatherPanel));
        base::UniquePen border(::CreatePen(PS_SOLID, 1, art::kPanelBorder));
        base::SelectGuard useBrush(dc, fill.get());
        base::SelectGuard usePen(dc, border.get());
        ::RoundRect(dc, kWeatherBoxRect.left - 3, kWeatherBoxRect.top - 2, kWeatherBoxRect.right + 1,
                    kWeatherBoxRect.bottom + 2, 9, 9);
    }
    // Previous and next day: small triangles centred in their boxes.
    const int ax = (kPreviousBoxRect.left + kPreviousBoxRect.right) / 2;
    const int upY = (kPreviousBoxRect.top + kPreviousBoxRect.bottom) / 2;
    Triangle(dc, {{ax - 5, upY + 3}, {ax + 5, upY + 3}, {ax, upY - 2}}, art::kArrow);
    const int downY = (kNextBoxRect.top + kNextBoxRect.bottom) / 2;
    Triangle(dc, {{ax - 5, downY - 3}, {ax + 5, downY - 3}, {ax, downY + 2}}, art::kArrow);
}

void PaintListPanel(HDC dc)
{
    const RECT outer = {kListHostRect.left - 1, kListHostRect.top - 1, kListHostRect.right + 1,
                        kListHostRect.bottom + 1};
    FillSolid(dc, outer, art::kPanelBorder);
    FillSolid(dc, kListHostRect, art::kListPanel);
}

void PaintBottomBar(HDC dc)
{
    constexpr int kBarTopY = 516;
    VerticalGradient(dc, {0, kBarTopY, kMainWidth, kMainHeight}, art::kBarTop, art::kBarBottom);
    FillSolid(dc, {0, kBarTopY, kMainWidth, kBarTopY + 1}, art::kBarLine);
    // Separators between the management, track and play boxes.
    for (int x : {(kManageBoxRect.right + kMusicBoxRect.left) / 2, (kMusicBoxRect.right + kPlayBoxRect.left) / 2})
        FillSolid(dc, {x, kMusicBoxRect.top + 3, x + 1, kMusicBoxRect.bottom - 3}, art::kBarLine);
    base::UniqueFont font = MakeFont(14, FW_BOLD);
    DrawLabel(dc, L"管理", kManageBoxRect, art::kBarText, font.get(), DT_CENTER);
}

void PaintFrame(HDC dc)
{
    const RECT all = {0, 0, kMainWidth, kMainHeight};
    base::UniqueBrush frame(::CreateSolidBrush(art::kFrame));
    ::FrameRect(dc, &all, frame.get());
    // The window's corners are cut in a staircase; close the frame along it.
    const int r = kMainWidth - 1;
    const int b = kMainHeight - 1;
    const POINT stairs[] = {{1, 2}, {2, 1}, {r - 1, 2}, {r - 2, 1}, {1, b - 2}, {2, b - 1}, {r - 1, b - 2}, {r - 2, b - 1}};
    for (const POINT& p : stairs)
        ::SetPixelV(dc, p.x, p.y, art::kFrame);
}

// A lens and its handle, in the title's text colour.
void Magnifier(HDC dc, int left, int top)
{
    base::UniquePen pen(::CreatePen(PS_SOLID, 2, art::kTitleText));
    base::SelectGuard usePen(dc, pen.get());
    base::SelectGuard noFill(dc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(dc, left, top, left + 10, top + 10);
    ::MoveToEx(dc, left + 9, top + 9, nullptr);
    ::LineTo(dc, left + 14, top + 14);
}

} // namespace

void PaintFilterTitle(HDC dc, const RECT& area, std::wstring_view filter)
{
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    VerticalGradient(dc, kTitleBarRect, art::kTitleTop, art::kTitleBottom);
    Magnifier(dc, kTitleTextLeft + 1, 9);
    {
        base::UniqueFont font = MakeFont(15, FW_BOLD);
        base::SelectGuard useFont(dc, font.get());
        RECT text = {kTitleTextLeft + 20, 0, area.right - 4, 31};
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

void PaintMainBackground(HDC dc, const RECT& bounds, HICON titleIcon)
{
    // The caller's DC is handed back as it came: origin, colours, modes.
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
    VerticalGradient(dc, {0, 32, kMainWidth, 516}, art::kBodyTop, art::kBodyBottom);
    PaintTitleBar(dc, titleIcon);
    PaintWeatherArea(dc);
    PaintListPanel(dc);
    PaintBottomBar(dc);
    PaintFrame(dc);
    ::RestoreDC(dc, saved);
}

} // namespace app
