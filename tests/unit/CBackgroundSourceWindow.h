#pragma once

#include <windows.h>

#include "win/CWindowImpl.h"
#include "win/MessageMap.h"

// A top-level window standing in for the frame or a dialog that draws its
// own background: solid in one colour, or a pattern in which every pixel's
// colour tells where it is. It reflects notifications like the real ones.
class CBackgroundSourceWindow : public CWindowImpl<CBackgroundSourceWindow> {
public:
    DECLARE_WND_CLASS_EX(L"QuillowTest_BackgroundSource", 0, nullptr, 0)

    static COLORREF PatternAt(int x, int y) { return RGB(x % 256, y % 256, (x + y) % 256); }

    ~CBackgroundSourceWindow()
    {
        if (IsWindow())
            DestroyWindow();
    }

    HWND CreateShown(int width, int height)
    {
        const RECT rect{100, 100, 100 + width, 100 + height};
        HWND hwnd = Create(nullptr, &rect, L"Background source", WS_POPUP | WS_VISIBLE, 0);
        if (hwnd)
            UpdateWindow();
        return hwnd;
    }

    void SetSolid(COLORREF colour)
    {
        m_pattern = false;
        m_colour = colour;
    }
    void SetPattern() { m_pattern = true; }

    BEGIN_MSG_MAP(CBackgroundSourceWindow)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnPaintInto)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaintInto)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnPaintInto(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        Paint(reinterpret_cast<HDC>(wParam));
        return 1;
    }

    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&)
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }

    void Paint(HDC dc)
    {
        RECT client{};
        GetClientRect(&client);
        if (!m_pattern) {
            HBRUSH brush = CreateSolidBrush(m_colour);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            return;
        }
        const int width = client.right;
        const int height = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        DWORD* bits = new DWORD[static_cast<size_t>(width) * height];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = PatternAt(x, y);
                bits[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, bits, &info, DIB_RGB_COLORS);
        delete[] bits;
    }

    bool m_pattern = false;
    COLORREF m_colour = RGB(255, 255, 255);
};
