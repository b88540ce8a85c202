#pragma once

#include <windows.h>

// The dots per inch a window is shown at, and the pixel sizes of a layout
// drawn for 96 DPI scaled to it. Per-monitor aware windows get no bitmap
// scaling from the system: every size they draw is theirs to scale.
class CDpi {
public:
    static constexpr UINT kStandard = 96;
    // At this and above the art drawn at twice the size is the better source.
    static constexpr UINT kDoubleArtFrom = 144;

    constexpr explicit CDpi(UINT dpi = kStandard) : m_dpi(dpi ? dpi : kStandard) {}

    // The window's own DPI where the system tells it (Windows 10 1607 and
    // later), else the system DPI, which every window has before that.
    static CDpi OfWindow(HWND window);
    static CDpi OfSystem();

    constexpr UINT Value() const { return m_dpi; }
    constexpr bool IsStandard() const { return m_dpi == kStandard; }
    constexpr bool PrefersDoubleArt() const { return m_dpi >= kDoubleArtFrom; }

    // Rounded to the nearest pixel, halves away from zero, as MulDiv does.
    int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(m_dpi), kStandard); }
    RECT Scale(const RECT& rect) const
    {
        return RECT{Scale(rect.left), Scale(rect.top), Scale(rect.right), Scale(rect.bottom)};
    }
    // A size measured at another DPI (the system's, say) brought to this one.
    int From(int pixels, CDpi measuredAt) const
    {
        return MulDiv(pixels, static_cast<int>(m_dpi), static_cast<int>(measuredAt.m_dpi));
    }

private:
    UINT m_dpi;
};
