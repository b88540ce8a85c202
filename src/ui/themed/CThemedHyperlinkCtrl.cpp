#include "ui/themed/CThemedHyperlinkCtrl.h"

#include "ui/themed/CFocusCue.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"

namespace {
// The link text read for drawing: 199 characters and the terminator.
constexpr int kTextBuffer = 200;
}

BOOL CThemedHyperlinkCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl::SubclassWindow(hwnd))
        return FALSE;
    Init();
    return TRUE;
}

void CThemedHyperlinkCtrl::SetBackgroundSource(HWND source) { m_background.SetSource(source); }

void CThemedHyperlinkCtrl::Init()
{
    m_background.SetSource(GetOutermostAncestor());
    // Passing the font through WM_SETFONT once more makes its underlined
    // copy, whatever font the control was given before we attached.
    SetFont(GetFont(), FALSE);
    m_normalColor = kNormalColor;
    m_hotColor = kHotColor;
    m_format = kFormat;
}

LRESULT CThemedHyperlinkCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        Init();
    return result;
}

LRESULT CThemedHyperlinkCtrl::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.Drop();
    handled = FALSE;
    return 0;
}

LRESULT CThemedHyperlinkCtrl::OnSetFont(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    m_font = reinterpret_cast<HFONT>(wParam);
    MakeUnderlinedFont();
    handled = FALSE;
    return 0;
}

// Without a font of its own the link draws in the DC's default, the system
// font, so that is what gets underlined.
void CThemedHyperlinkCtrl::MakeUnderlinedFont()
{
    LOGFONTW font{};
    HGDIOBJ base = m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(base, sizeof(font), &font) != sizeof(font)) {
        m_underlinedFont.DeleteObject();
        return;
    }
    font.lfUnderline = TRUE;
    m_underlinedFont.CreateFontIndirect(&font);
}

// The keyboard cues were turned on or off: the focus line follows.
LRESULT CThemedHyperlinkCtrl::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Invalidate(FALSE);
    handled = FALSE;
    return 0;
}

DWORD CThemedHyperlinkCtrl::OnPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_SKIPDEFAULT; }

DWORD CThemedHyperlinkCtrl::OnPreErase(int, LPNMCUSTOMDRAW draw)
{
    Draw(*draw);
    return CDRF_SKIPDEFAULT;
}

void CThemedHyperlinkCtrl::Draw(const NMCUSTOMDRAW& draw)
{
    m_background.Fill(m_hWnd, draw.hdc, draw.rc);
    wchar_t text[kTextBuffer] = L"";
    const int length = GetWindowText(text, kTextBuffer);
    if (length <= 0)
        return;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;
    CDCHandle target(draw.hdc);
    CScopedSelect font(draw.hdc, hot && !m_underlinedFont.IsNull() ? m_underlinedFont.m_hFont
                                                                    : m_font);
    const int oldMode = target.SetBkMode(TRANSPARENT);
    const COLORREF oldColor = target.SetTextColor(hot ? m_hotColor : m_normalColor);
    RECT rect = draw.rc;
    target.DrawText(text, length, &rect, m_format);
    target.SetTextColor(oldColor);
    target.SetBkMode(oldMode);
    // Round the whole link, which is as wide as its text and a little more.
    if ((draw.uItemState & CDIS_FOCUS) && !CFocusCue::IsHidden(m_hWnd))
        CFocusCue::DrawRectangle(draw.hdc, draw.rc);
}
