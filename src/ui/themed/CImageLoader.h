#pragma once

#include <windows.h>

#include "win/CDpi.h"

// Turns a PNG (a resource or a file) into a 32-bit bitmap with pre-multiplied
// alpha, ready for AlphaBlend with AC_SRC_ALPHA. The caller owns the bitmap.
class CImageLoader {
public:
    // The art drawn at twice the size has the id of its 96 DPI original plus
    // this.
    static constexpr UINT kDoubleArtOffset = 1000;

    // The PNG resource at the size a layout for 96 DPI has at dpi: as stored
    // at 96 DPI; else the twice-size art (from 144 DPI, or the original
    // where there is none) resampled so that each of its frames, laid side
    // by side, is exactly its 96 DPI frame scaled. nullptr when the resource
    // is missing or cannot be decoded; the caller then goes on without it.
    static HBITMAP LoadPng(UINT id, CDpi dpi = CDpi(), int frames = 1);

    // nameOrId: a file path, or a resource id made with MAKEINTRESOURCEW.
    // type: the resource type of an id; nullptr or RT_BITMAP for a bitmap
    // resource. Loaded as stored, whatever the DPI.
    static HBITMAP Load(const wchar_t* nameOrId, const wchar_t* type);

private:
    static bool StartGdiplus();
};
