#pragma once

#include <windows.h>

// Fills a rectangle with a plain colour without making a brush.
class CColorFill {
public:
    static void Fill(HDC dc, const RECT& rect, COLORREF colour);
};
