#include "CImageLoader.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace gp = Gdiplus::DllExports;

namespace {

// The stream owns the block from the moment it exists; before that the
// block is ours to free.
IStream* StreamOverCopy(const void* bytes, DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

Gdiplus::GpBitmap* DecodeResource(const wchar_t* id, const wchar_t* type)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, id, type);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (!bytes || size == 0)
        return nullptr;
    IStream* stream = StreamOverCopy(bytes, size);
    if (!stream)
        return nullptr;
    Gdiplus::GpBitmap* image = nullptr;
    if (gp::GdipCreateBitmapFromStream(stream, &image) != Gdiplus::Ok)
        image = nullptr;
    stream->Release();
    return image;
}

Gdiplus::GpBitmap* Decode(const wchar_t* nameOrId, const wchar_t* type)
{
    Gdiplus::GpBitmap* image = nullptr;
    if (!IS_INTRESOURCE(nameOrId)) {
        if (gp::GdipCreateBitmapFromFile(nameOrId, &image) != Gdiplus::Ok)
            return nullptr;
        return image;
    }
    if (type && type != RT_BITMAP)
        return DecodeResource(nameOrId, type);
    if (gp::GdipCreateBitmapFromResource(GetModuleHandleW(nullptr), nameOrId, &image) !=
        Gdiplus::Ok)
        return nullptr;
    return image;
}

BOOL CALLBACK StartGdiplusOnce(INIT_ONCE*, void* started, void**)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    *static_cast<BOOL*>(started) = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    return TRUE;
}

}  // namespace

bool CImageLoader::StartGdiplus()
{
    // Started once and never shut down: images are decoded for as long as the
    // program runs. The settings window and a password prompt may each be
    // first, on threads of their own.
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    static BOOL started = FALSE;
    InitOnceExecuteOnce(&once, StartGdiplusOnce, &started, nullptr);
    return started != FALSE;
}

HBITMAP CImageLoader::LoadPng(UINT id) { return Load(MAKEINTRESOURCEW(id), L"PNG"); }

HBITMAP CImageLoader::Load(const wchar_t* nameOrId, const wchar_t* type)
{
    if (!nameOrId || !StartGdiplus())
        return nullptr;
    Gdiplus::GpBitmap* image = Decode(nameOrId, type);
    if (!image)
        return nullptr;
    // Against a fully transparent background the pixels keep their own
    // alpha, with the colour channels already multiplied by it.
    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0) != Gdiplus::Ok)
        bitmap = nullptr;
    gp::GdipDisposeImage(image);
    return bitmap;
}
