// What a window paints, caught off screen through WM_PRINTCLIENT so a test
// can look at its pixels.
#pragma once

#include <windows.h>

class CPrintedWindow {
public:
    static constexpr COLORREF kUnpainted = RGB(255, 0, 255);

    CPrintedWindow(HWND hwnd, int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        // A colour no window here paints, so untouched pixels never pass
        // for drawn ones.
        HBRUSH unpainted = CreateSolidBrush(kUnpainted);
        const RECT all{0, 0, width, height};
        FillRect(m_dc, &all, unpainted);
        DeleteObject(unpainted);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT);
        GdiFlush();
    }
    ~CPrintedWindow()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    CPrintedWindow(const CPrintedWindow&) = delete;
    CPrintedWindow& operator=(const CPrintedWindow&) = delete;

    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

    int CountPixels(const RECT& area, COLORREF colour) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += Pixel(x, y) == colour;
        return count;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};
