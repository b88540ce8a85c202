#include "CImageLoader.h"

#include <objidl.h>
#include <gdiplus.h>

namespace gp = Gdiplus::DllExports;

bool CImageLoader::StartGdiplus()
{
    // Started once and never shut down: images are decoded for as long as the
    // program runs.
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

HBITMAP CImageLoader::LoadPng(UINT id)
{
    if (!StartGdiplus())
        return nullptr;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    if (void* copy = GlobalLock(block)) {
        memcpy(copy, bytes, size);
        GlobalUnlock(block);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    Gdiplus::GpBitmap* image = nullptr;
    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateBitmapFromStream(stream, &image) == Gdiplus::Ok) {
        if (gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0) != Gdiplus::Ok)
            bitmap = nullptr;
        gp::GdipDisposeImage(image);
    }
    stream->Release();
    return bitmap;
}
