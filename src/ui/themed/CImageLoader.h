#pragma once

#include <windows.h>

// Turns a PNG (a resource or a file) into a 32-bit bitmap with pre-multiplied
// alpha, ready for AlphaBlend with AC_SRC_ALPHA. The caller owns the bitmap.
class CImageLoader {
public:
    // nullptr when the resource is missing or cannot be decoded; the caller
    // then goes on without the image.
    static HBITMAP LoadPng(UINT id);

    // nameOrId: a file path, or a resource id made with MAKEINTRESOURCEW.
    // type: the resource type of an id; nullptr or RT_BITMAP for a bitmap
    // resource.
    static HBITMAP Load(const wchar_t* nameOrId, const wchar_t* type);

private:
    static bool StartGdiplus();
};
