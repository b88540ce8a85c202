#pragma once

#include <windows.h>

// How wide a control's own text is in a given font. The pages draw in the
// system's message font, whose width differs from system to system, so
// they size their labels to it instead of trusting the template.
class CTextFit {
public:
    // 0 for a control without text or a font that cannot measure it.
    static int TextWidth(HWND control, HFONT font);
    // Makes the control as wide as its text plus spare pixels, keeping its
    // place and height; a control without text keeps its size.
    static void FitWidth(HWND control, HFONT font, int spare);
};
