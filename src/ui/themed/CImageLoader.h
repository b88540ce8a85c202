#pragma once

#include <windows.h>

// Turns a PNG resource into a 32-bit bitmap with pre-multiplied alpha, ready
// for AlphaBlend. The caller owns the bitmap.
class CImageLoader {
public:
    // nullptr when the resource is missing or cannot be decoded; the caller
    // then goes on without the image.
    static HBITMAP LoadPng(UINT id);

private:
    static bool StartGdiplus();
};
