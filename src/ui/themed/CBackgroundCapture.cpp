#include "ui/themed/CBackgroundCapture.h"

#include "win/CBitmap.h"
#include "win/CBrush.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"
#include "win/CWindowDC.h"

namespace {

int WidthOf(const RECT& rect) { return rect.right - rect.left; }
int HeightOf(const RECT& rect) { return rect.bottom - rect.top; }

// The source paints itself into the bitmap the way it paints on screen.
bool RenderWindow(HWND source, HDC reference, CBitmap& rendering)
{
    RECT window{};
    if (!::GetWindowRect(source, &window) || WidthOf(window) <= 0 || HeightOf(window) <= 0)
        return false;
    CDC memory;
    if (!memory.CreateCompatibleDC(reference) ||
        !rendering.CreateCompatibleBitmap(reference, WidthOf(window), HeightOf(window)))
        return false;
    CScopedSelect select(memory, rendering);
    if (!select.Selected())
        return false;
    ::SendMessageW(source, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.m_hDC), 0);
    ::SendMessageW(source, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.m_hDC),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    return true;
}

bool CopyPart(HDC reference, HBITMAP rendering, const RECT& part, CBitmap& copy)
{
    CDC from;
    CDC to;
    if (!from.CreateCompatibleDC(reference) || !to.CreateCompatibleDC(reference) ||
        !copy.CreateCompatibleBitmap(reference, WidthOf(part), HeightOf(part)))
        return false;
    CScopedSelect selectFrom(from, rendering);
    CScopedSelect selectTo(to, copy);
    if (!selectFrom.Selected() || !selectTo.Selected())
        return false;
    return to.BitBlt(0, 0, WidthOf(part), HeightOf(part), from, part.left, part.top, SRCCOPY);
}

}  // namespace

RECT CBackgroundCapture::ControlRectInSource(HWND control, HWND source)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, source, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HBRUSH CBackgroundCapture::Capture(HWND control, HWND source)
{
    if (!::IsWindow(control) || !::IsWindow(source))
        return nullptr;
    const RECT part = ControlRectInSource(control, source);
    if (WidthOf(part) <= 0 || HeightOf(part) <= 0)
        return nullptr;
    CWindowDC reference(source);
    if (reference.IsNull())
        return nullptr;
    CBitmap rendering;
    CBitmap copy;
    if (!RenderWindow(source, reference, rendering) ||
        !CopyPart(reference, rendering, part, copy))
        return nullptr;
    CBrush brush;
    brush.CreatePatternBrush(copy);
    return brush.Detach();
}
