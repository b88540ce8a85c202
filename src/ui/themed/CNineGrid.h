#pragma once

#include <windows.h>

#include <array>

// Draws an image into a rectangle of any size without blurring its frame:
// corners keep their size, edges stretch along their length, the centre in
// both directions.
class CNineGrid {
public:
    struct Piece {
        int x, y, width, height;
        int srcX, srcY, srcWidth, srcHeight;
    };

    // Top row left to right, then the middle row, then the bottom row. A
    // border of 0 leaves its row or column empty; so does a destination or
    // source too small for its borders (never a negative size).
    static std::array<Piece, 9> Pieces(const RECT& dest, const RECT& source, const RECT& borders);

    // borders holds the left, top, right and bottom border widths.
    static void Draw(HDC dest, const RECT& destRect, HDC source, const RECT& sourceRect,
                     BYTE alpha, const RECT& borders);

    // Nothing is drawn when there is no image.
    static void DrawImage(HDC dest, const RECT& destRect, HBITMAP image, const RECT& sourceRect,
                          BYTE alpha, const RECT& borders);
};
