#include "ui/themed/CBackgroundBrush.h"

#include "ui/themed/CBackgroundCapture.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"

void CBackgroundBrush::SetSource(HWND source)
{
    m_source = source;
    Drop();
}

void CBackgroundBrush::Drop() { m_brush.DeleteObject(); }

HBRUSH CBackgroundBrush::Get(HWND control)
{
    const RECT place = CBackgroundCapture::ControlRectInSource(control, m_source);
    if (!m_brush.IsNull() && !::EqualRect(&place, &m_capturedAt))
        Drop();
    if (m_brush.IsNull()) {
        m_brush.Attach(CBackgroundCapture::Capture(control, m_source));
        m_capturedAt = place;
    }
    return m_brush;
}

void CBackgroundBrush::Fill(HWND control, HDC dc, const RECT& rect)
{
    HBRUSH brush = Get(control);
    if (!brush || !dc)
        return;
    CDCHandle target(dc);
    // The capture starts at the control's client origin; an off-screen DC
    // whose viewport is shifted would otherwise start the pattern elsewhere.
    POINT origin{0, 0};
    target.LPtoDP(&origin);
    POINT oldOrigin{};
    target.SetBrushOrg(origin.x, origin.y, &oldOrigin);
    {
        CScopedSelect select(dc, brush);
        target.PatBlt(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                      PATCOPY);
    }
    target.SetBrushOrg(oldOrigin.x, oldOrigin.y);
}
