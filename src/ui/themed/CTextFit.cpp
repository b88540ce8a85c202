#include "ui/themed/CTextFit.h"

#include "win/CClientDC.h"
#include "win/CScopedSelect.h"

int CTextFit::TextWidth(HWND control, HFONT font)
{
    wchar_t text[100] = {};
    const int length = control ? ::GetWindowTextW(control, text, 100) : 0;
    if (length <= 0)
        return 0;
    CClientDC dc(control);
    CScopedSelect selected(dc, font);
    SIZE extent{};
    return dc.GetTextExtent(text, length, &extent) ? extent.cx : 0;
}

void CTextFit::FitWidth(HWND control, HFONT font, int spare)
{
    const int width = TextWidth(control, font);
    RECT place{};
    if (width <= 0 || !::GetWindowRect(control, &place))
        return;
    ::SetWindowPos(control, nullptr, 0, 0, width + spare, place.bottom - place.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
