#pragma once

#include <windows.h>

// Draws part of a pre-multiplied 32-bit image, stretched to a rectangle, in
// one AlphaBlend.
class CImageBlend {
public:
    // Nothing is drawn when there is no image or either rectangle is empty.
    static void Draw(HDC dest, const RECT& destRect, HBITMAP image, const RECT& sourceRect,
                     BYTE alpha);

    // {0, 0} when there is no image.
    static SIZE SizeOf(HBITMAP image);
};
