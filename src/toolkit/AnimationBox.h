#pragma once
// A picture button in the form toolkit's sense: a child window that paints a
// background picture, any number of objects over it (each a picture with a
// transparent key colour and a transparency level from 0, opaque, to 100,
// invisible) and one line of drawn text on top. It reports the mouse
// entering, leaving and clicking each visible object.

#include "base/Dpi.h"
#include "base/Handles.h"
#include "base/Window.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

// Each receives the id of the object concerned.
struct AnimationBoxEvents {
    std::function<void(int objectId)> objectEnter;
    std::function<void(int objectId)> objectLeave;
    std::function<void(int objectId)> objectClick;
};

// Sizes and the origin are in design pixels (96 DPI); the box scales them.
struct BoxText {
    std::wstring text;
    std::wstring fontFace = L"微软雅黑";
    int pixelHeight = 12;
    bool bold = false;
    COLORREF colour = RGB(0, 0, 0);
    UINT format = DT_CENTER; // DrawTextW alignment; always one line, vertically centred
    // When given, the text's top-left corner in the box instead of the alignment.
    std::optional<POINT> origin = std::nullopt;
};

class AnimationBox : public base::Window {
public:
    AnimationBox() = default;

    // A visible child of parent at rect (parent client coordinates).
    [[nodiscard]] bool Create(HWND parent, const RECT& rect);

    void SetEvents(AnimationBoxEvents events) { m_events = std::move(events); }

    // Makes the box look transparent: asks the parent to draw the area under
    // the box (WM_PRINTCLIENT) and keeps that as the background picture.
    void CaptureBackground();
    void SetBackground(base::UniqueBitmap picture);

    // A new object at (x, y) in the box, without a picture, transparency 0.
    // Ids start at 1 and are never reused.
    [[nodiscard]] int AddObject(int x = 0, int y = 0, bool visible = true);
    // The box owns the picture from then on. False for an unknown id.
    [[nodiscard]] bool SetObjectPicture(int id, base::UniqueBitmap picture, COLORREF key);
    // -1 for an unknown id.
    [[nodiscard]] int ObjectTransparency(int id) const;
    // Clamped to 0..100; stops a fade of that object; repaints at once.
    void SetObjectTransparency(int id, int level);
    // Moves the level to `level` over about durationMs on a timer, starting
    // from wherever it is now (a fade under way turns round from its level).
    void FadeObjectTo(int id, int level, int durationMs);
    [[nodiscard]] bool IsFading(int id) const;
    // Fades to `level` and, once there, back to the level it started from:
    // a flash, each way taking durationMs.
    void FlashObject(int id, int level, int durationMs);

    // The drawn text is also the box's window text.
    void SetText(BoxText text);
    void SetTextOnly(std::wstring text); // keeps font, colour and placing
    void SetTextAt(std::wstring text, POINT origin); // keeps font and colour
    [[nodiscard]] const std::wstring& Text() const { return m_text.text; }

    // The scale the text is drawn at; the caller gives a new background and
    // object pictures of the new size itself.
    void SetDpi(int dpi);

    // Draws the whole box, as the screen shows it, with its top-left at
    // area's top-left.
    void Paint(HDC dc, const RECT& area) const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Object {
        int id = 0;
        POINT at{};
        bool visible = true;
        // Kept ready for AlphaBlend: 32 bits with premultiplied alpha, key
        // pixels fully transparent and all others opaque.
        base::UniqueBitmap picture;
        SIZE size{};
        COLORREF key = RGB(255, 0, 255);
        int level = 0;
        // Fade under way: from fromLevel at startTick to toLevel after durationMs.
        bool fading = false;
        int fromLevel = 0;
        int toLevel = 0;
        DWORD startTick = 0;
        int durationMs = 0;
        std::optional<int> thenLevel; // a flash fades back here once the fade ends
    };
    Object* Find(int id);
    const Object* Find(int id) const;
    int ObjectAt(POINT p) const; // topmost visible object under p, or 0
    void OnMouseMove(POINT p);
    void OnMouseLeave();
    void OnButtonDown(POINT p);
    void OnButtonUp(POINT p);
    void OnTimer();
    void Repaint();
    void StopTimerIfIdle();
    void ShowTextAsWindowText();
    void MakeFont();
    AnimationBoxEvents m_events;
    base::UniqueBitmap m_background;
    std::vector<Object> m_objects;
    int m_nextId = 1;
    int m_hoverId = 0;
    int m_pressedId = 0;
    bool m_fadeTimer = false; // the fade timer is running
    BoxText m_text;
    base::UniqueFont m_font;
    int m_dpi = base::kDesignDpi;
};

} // namespace toolkit
