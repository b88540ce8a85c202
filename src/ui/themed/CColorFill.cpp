#include "ui/themed/CColorFill.h"

#include "win/CDC.h"

void CColorFill::Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    if (!dc)
        return;
    CDCHandle target(dc);
    // ETO_OPAQUE paints the rectangle in the background colour even with no
    // text; the caller's background colour is left as it was.
    const COLORREF old = target.SetBkColor(colour);
    target.ExtTextOut(0, 0, ETO_OPAQUE, &rect, L"", 0);
    if (old != CLR_INVALID)
        target.SetBkColor(old);
}
