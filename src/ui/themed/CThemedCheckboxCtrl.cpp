#include "ui/themed/CThemedCheckboxCtrl.h"

#include "win/CDC.h"

BOOL CThemedCheckboxCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl::SubclassWindow(hwnd))
        return FALSE;
    Init();
    return TRUE;
}

void CThemedCheckboxCtrl::SetBackgroundSource(HWND source) { m_background.SetSource(source); }

void CThemedCheckboxCtrl::Init() { m_background.SetSource(GetTopLevelWindow()); }

LRESULT CThemedCheckboxCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        Init();
    return result;
}

LRESULT CThemedCheckboxCtrl::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.Drop();
    handled = FALSE;
    return 0;
}

// The system draws the focus line round the text; the whole box repaints,
// background and all, so no half of an old line stays behind.
LRESULT CThemedCheckboxCtrl::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Invalidate(TRUE);
    handled = FALSE;
    return 0;
}

// The system fills the check box's background with the returned brush and
// writes its text in the colour set here.
LRESULT CThemedCheckboxCtrl::OnControlColor(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    CDCHandle dc(reinterpret_cast<HDC>(wParam));
    HBRUSH brush = m_background.Get(m_hWnd);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(IsWindowEnabled() ? kTextColor : kDisabledTextColor);
    return reinterpret_cast<LRESULT>(brush);
}
