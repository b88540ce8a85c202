#include "ui/themed/CImageLoader.h"

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

// Takes the image: it is disposed of whether or not the bitmap is made.
HBITMAP ToBitmap(Gdiplus::GpBitmap* image)
{
    // Against a fully transparent background the pixels keep their own
    // alpha, with the colour channels already multiplied by it.
    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0) != Gdiplus::Ok)
        bitmap = nullptr;
    gp::GdipDisposeImage(image);
    return bitmap;
}

struct FrameSizes {
    int count;
    SIZE source;  // one frame as stored
    SIZE target;  // one frame as shown
};

// Each frame on its own, so that no frame bleeds into its neighbour at the
// seam; the edge pixels are repeated outward, so that the filter does not
// fade a frame's border into the transparent space around it.
bool DrawFrames(Gdiplus::GpBitmap* source, Gdiplus::GpBitmap* target, const FrameSizes& sizes)
{
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gp::GdipGetImageGraphicsContext(target, &graphics) != Gdiplus::Ok)
        return false;
    gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::GpImageAttributes* edges = nullptr;
    gp::GdipCreateImageAttributes(&edges);
    if (edges)
        gp::GdipSetImageAttributesWrapMode(edges, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    bool drawn = true;
    for (int frame = 0; frame < sizes.count && drawn; ++frame) {
        drawn = gp::GdipDrawImageRectRectI(
                    graphics, source, frame * sizes.target.cx, 0, sizes.target.cx,
                    sizes.target.cy, frame * sizes.source.cx, 0, sizes.source.cx,
                    sizes.source.cy, Gdiplus::UnitPixel, edges, nullptr, nullptr) == Gdiplus::Ok;
    }
    if (edges)
        gp::GdipDisposeImageAttributes(edges);
    gp::GdipDeleteGraphics(graphics);
    return drawn;
}

// stored: how many times its 96 DPI size the source was drawn at.
Gdiplus::GpBitmap* Resampled(Gdiplus::GpBitmap* source, int stored, CDpi dpi, int frames)
{
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(source, &width);
    gp::GdipGetImageHeight(source, &height);
    if (frames < 1 || width == 0 || height == 0 || width % (frames * stored) != 0)
        return nullptr;
    FrameSizes sizes{frames, {static_cast<LONG>(width) / frames, static_cast<LONG>(height)}, {}};
    sizes.target = SIZE{dpi.Scale(sizes.source.cx / stored),
                        dpi.Scale(static_cast<int>(height) / stored)};
    if (sizes.target.cx < 1 || sizes.target.cy < 1)
        return nullptr;
    Gdiplus::GpBitmap* target = nullptr;
    if (gp::GdipCreateBitmapFromScan0(sizes.target.cx * frames, sizes.target.cy, 0,
                                      PixelFormat32bppPARGB, nullptr, &target) != Gdiplus::Ok)
        return nullptr;
    if (!DrawFrames(source, target, sizes)) {
        gp::GdipDisposeImage(target);
        return nullptr;
    }
    return target;
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

HBITMAP CImageLoader::LoadPng(UINT id, CDpi dpi, int frames)
{
    if (dpi.IsStandard())
        return Load(MAKEINTRESOURCEW(id), L"PNG");
    if (!StartGdiplus())
        return nullptr;
    int stored = 2;
    Gdiplus::GpBitmap* source =
        dpi.PrefersDoubleArt() ? DecodeResource(MAKEINTRESOURCEW(id + kDoubleArtOffset), L"PNG")
                               : nullptr;
    if (!source) {
        stored = 1;
        source = DecodeResource(MAKEINTRESOURCEW(id), L"PNG");
    }
    if (!source)
        return nullptr;
    Gdiplus::GpBitmap* resampled = Resampled(source, stored, dpi, frames);
    gp::GdipDisposeImage(source);
    return resampled ? ToBitmap(resampled) : nullptr;
}

HBITMAP CImageLoader::Load(const wchar_t* nameOrId, const wchar_t* type)
{
    if (!nameOrId || !StartGdiplus())
        return nullptr;
    Gdiplus::GpBitmap* image = Decode(nameOrId, type);
    return image ? ToBitmap(image) : nullptr;
}
