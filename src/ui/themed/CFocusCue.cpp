#include "ui/themed/CFocusCue.h"

#include "win/CScopedSelect.h"

bool CFocusCue::IsHidden(HWND window)
{
    return (::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

bool CFocusCue::IsShown(HWND window)
{
    return window && ::GetFocus() == window && !IsHidden(window);
}

void CFocusCue::DrawRectangle(HDC dc, const RECT& rect)
{
    if (rect.right - rect.left > 0 && rect.bottom - rect.top > 0)
        ::DrawFocusRect(dc, &rect);
}

void CFocusCue::DrawRing(HDC dc, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    // Every other pixel, as the system's focus rectangle is dotted.
    const LOGBRUSH solid{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN dotted = ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &solid, 0, nullptr);
    if (!dotted)
        return;
    {
        CScopedSelect pen(dc, dotted);
        CScopedSelect brush(dc, ::GetStockObject(NULL_BRUSH));
        const int oldMode = ::SetROP2(dc, R2_NOT);
        const int corner = width < height ? width : height;
        ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
        ::SetROP2(dc, oldMode);
    }
    ::DeleteObject(dotted);
}
