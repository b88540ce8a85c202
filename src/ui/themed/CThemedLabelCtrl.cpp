#include "ui/themed/CThemedLabelCtrl.h"

#include "win/CDC.h"
#include "win/CPaintDC.h"
#include "win/CScopedSelect.h"

namespace {
// The text read for drawing: 599 characters and the terminator.
constexpr int kTextBuffer = 600;
}

// DrawText would write an ellipsis into the text buffer past the text it
// was given, or only measure instead of drawing.
UINT CThemedLabelCtrl::DrawableFormat(UINT format)
{
    return format & ~(DT_MODIFYSTRING | DT_CALCRECT);
}

BOOL CThemedLabelCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl::SubclassWindow(hwnd))
        return FALSE;
    Init();
    return TRUE;
}

void CThemedLabelCtrl::SetBackgroundSource(HWND source) { m_background.SetSource(source); }

void CThemedLabelCtrl::SetTextColor(COLORREF color)
{
    m_textColor = color;
    if (IsWindow())
        Invalidate();
}

void CThemedLabelCtrl::SetTextFormat(UINT format)
{
    m_format = format;
    if (IsWindow())
        Invalidate();
}

void CThemedLabelCtrl::Init()
{
    m_background.SetSource(GetOutermostAncestor());
    m_format = kDefaultFormat;
    m_font = GetParent().GetFont();
    m_textColor = RGB(0, 0, 0);
}

LRESULT CThemedLabelCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        Init();
    return result;
}

void CThemedLabelCtrl::OnPaint(HDC)
{
    CPaintDC paint(m_hWnd);
    Draw(paint);
}

LRESULT CThemedLabelCtrl::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    Draw(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CThemedLabelCtrl::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.Drop();
    handled = FALSE;
    return 0;
}

LRESULT CThemedLabelCtrl::OnSetFont(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    m_font = reinterpret_cast<HFONT>(wParam);
    handled = FALSE;
    return 0;
}

// The old text must not stay behind: the whole label is painted again, over
// the background, before this returns.
LRESULT CThemedLabelCtrl::OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}

void CThemedLabelCtrl::Draw(HDC dc)
{
    if (!dc)
        return;
    RECT client{};
    GetClientRect(&client);
    m_background.Fill(m_hWnd, dc, client);
    wchar_t text[kTextBuffer] = L"";
    const int length = GetWindowText(text, kTextBuffer);
    if (length <= 0)
        return;
    CDCHandle target(dc);
    CScopedSelect font(dc, m_font);
    const int oldMode = target.SetBkMode(TRANSPARENT);
    const COLORREF oldColor = target.SetTextColor(m_textColor);
    target.DrawText(text, length, &client, DrawableFormat(m_format));
    target.SetTextColor(oldColor);
    target.SetBkMode(oldMode);
}
