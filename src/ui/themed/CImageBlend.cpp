#include "ui/themed/CImageBlend.h"

#include "win/CBitmap.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"

void CImageBlend::Draw(HDC dest, const RECT& destRect, HBITMAP image, const RECT& sourceRect,
                       BYTE alpha)
{
    if (!dest || !image)
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(dest))
        return;
    CScopedSelect select(memory, image);
    if (!select.Selected())
        return;
    CDCHandle(dest).AlphaBlend(destRect.left, destRect.top, destRect.right - destRect.left,
                               destRect.bottom - destRect.top, memory, sourceRect.left,
                               sourceRect.top, sourceRect.right - sourceRect.left,
                               sourceRect.bottom - sourceRect.top, alpha);
}

SIZE CImageBlend::SizeOf(HBITMAP image)
{
    SIZE size{};
    CBitmapHandle(image).GetSize(size);
    return size;
}
