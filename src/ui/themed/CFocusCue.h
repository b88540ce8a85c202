#pragma once

#include <windows.h>

// The keyboard focus as the kit's controls show it: the system's dotted
// line, and only while the window's keyboard cues are on. Windows decides
// that from the last input and the user's setting, and tells every window
// by WM_UPDATEUISTATE; a control repaints then, and asks here when it paints.
class CFocusCue {
public:
    // The window has the focus and its focus cue is not hidden.
    static bool IsShown(HWND window);
    // UISF_HIDEFOCUS in the window's UI state.
    static bool IsHidden(HWND window);

    // A dotted rectangle just inside rect, drawn so that it shows on any
    // colour (each pixel inverted), like DrawFocusRect.
    static void DrawRectangle(HDC dc, const RECT& rect);
    // The same line round a pill or a circle: a rounded rectangle whose
    // ends are half circles.
    static void DrawRing(HDC dc, const RECT& rect);
};
