#include "ui/themed/CBackgroundImage.h"

#include "ui/themed/CImageLoader.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"

bool CBackgroundImage::Load(UINT pngId)
{
    m_image.DeleteObject();
    m_image.Attach(CImageLoader::LoadPng(pngId));
    return IsLoaded();
}

bool CBackgroundImage::Paint(HDC target, const RECT& client) const
{
    SIZE size{};
    if (m_image.IsNull() || !m_image.GetSize(size))
        return false;
    CDC source;
    source.CreateCompatibleDC(target);
    CScopedSelect selected(source, m_image);
    // Halftone keeps the stretched gradient free of banding steps.
    const int oldMode = SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, client.left, client.top, client.right - client.left,
               client.bottom - client.top, source, 0, 0, size.cx, size.cy, SRCCOPY);
    SetStretchBltMode(target, oldMode);
    return true;
}
