#pragma once

#include <windows.h>

#include "win/CBitmap.h"
#include "win/CDC.h"

// An off-screen DC for one paint rectangle, in the target's coordinates;
// what is drawn into it is copied to the target when it goes. It stays null
// when the bitmap cannot be made (an empty rectangle, no memory): the caller
// then draws straight into the target.
class CMemoryDC : public CDC {
public:
    CMemoryDC(HDC target, const RECT& paint) : m_target(target), m_paint(paint)
    {
        const int width = paint.right - paint.left;
        const int height = paint.bottom - paint.top;
        if (!target || width <= 0 || height <= 0)
            return;
        if (!m_bitmap.CreateCompatibleBitmap(target, width, height) || !CreateCompatibleDC(target))
            return;
        m_oldBitmap = SelectObject(m_bitmap);
        SetViewportOrg(-paint.left, -paint.top);
    }

    ~CMemoryDC()
    {
        if (IsNull())
            return;
        ::BitBlt(m_target, m_paint.left, m_paint.top, m_paint.right - m_paint.left,
                 m_paint.bottom - m_paint.top, m_hDC, m_paint.left, m_paint.top, SRCCOPY);
        SelectObject(m_oldBitmap);
    }

    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

private:
    HDC m_target;
    RECT m_paint;
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
};
