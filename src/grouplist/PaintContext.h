#pragma once
// What a control keeps for painting its rows, so that a row costs no GDI
// object of its own: one back buffer (grown, never shrunk) with the
// control's font and the DC pen and brush selected, and one memory DC to
// copy pictures from.

#include "base/Handles.h"

#include <windows.h>

#include <vector>

namespace grouplist {

class PaintContext {
public:
    PaintContext() = default;
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    // Made up front, so a control's GDI objects do not grow with its first paint.
    bool Prepare(HWND window, HFONT font, int width, int height);
    // A new font for the rows (a new scale); the old one may go once this returns.
    void SetFont(HFONT font);
    // The back buffer, at least width x height; null when GDI refuses.
    [[nodiscard]] HDC Canvas(int width, int height);
    // A memory DC to select source pictures into.
    [[nodiscard]] HDC SourceDc() const noexcept { return m_source.get(); }
    // Scratch room for a picture's pixels.
    [[nodiscard]] std::vector<RGBQUAD>& Pixels() noexcept { return m_pixels; }

private:
    bool Grow(int width, int height);

    HWND m_window = nullptr; // not owned
    HFONT m_font = nullptr;  // not owned: the control's
    // Declared before the DC, so the DC (which holds it selected) goes first.
    base::UniqueBitmap m_bitmap;
    base::UniqueMemoryDc m_canvas;
    base::UniqueMemoryDc m_source;
    SIZE m_size{};
    std::vector<RGBQUAD> m_pixels;
};

// Fills and frames with the DC brush: no brush is made per call.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void FrameSolid(HDC dc, const RECT& rect, COLORREF colour);

} // namespace grouplist
