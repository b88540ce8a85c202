#pragma once

#include <windows.h>

#include "win/CBrush.h"

// A control's view of what its background source draws behind it, captured
// once and kept until the control's place in the source changes.
class CBackgroundBrush {
public:
    HWND Source() const { return m_source; }
    // A new source draws something else: the kept capture no longer holds.
    void SetSource(HWND source);
    void Drop();
    bool IsCaptured() const { return !m_brush.IsNull(); }

    // Captures when there is no brush, or when the control now sits
    // elsewhere in the source than at the capture: a parent moved inside the
    // source moves its children without telling them. nullptr when the
    // capture fails; the next call tries again.
    HBRUSH Get(HWND control);

    // Fills a rectangle of a DC drawing the control's client area, in that
    // area's coordinates; nothing without a brush.
    void Fill(HWND control, HDC dc, const RECT& rect);

private:
    HWND m_source = nullptr;
    CBrush m_brush;
    RECT m_capturedAt{};
};
