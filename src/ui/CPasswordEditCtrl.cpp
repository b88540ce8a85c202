#include "ui/CPasswordEditCtrl.h"

namespace {
constexpr LONG_PTR kFieldStyle = WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL;
constexpr wchar_t kFallbackMask = L'*';
}

BOOL CPasswordEditCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl<CPasswordEditCtrl>::SubclassWindow(hwnd))
        return FALSE;
    ApplyPasswordSettings();
    return TRUE;
}

LRESULT CPasswordEditCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    // -1 means the window is being thrown away: nothing left to set up.
    if (result != -1)
        ApplyPasswordSettings();
    return result;
}

LRESULT CPasswordEditCtrl::OnTypedText(UINT, WPARAM, LPARAM, BOOL& handled)
{
    // Swallowed, not passed on: the edit control would insert it.
    handled = m_foreground &&
              !TakesTypedText(::GetAncestor(m_hWnd, GA_ROOT), m_foreground->Current());
    return 0;
}

void CPasswordEditCtrl::ApplyPasswordSettings()
{
    ModifyStyle(0, kFieldStyle);
    SendMessage(EM_LIMITTEXT, kMaxLength);
    // An edit control reads ES_PASSWORD only when it is created; a style
    // added later masks nothing until the control is given a mask character.
    // One it already has (a dot, on themed controls) is kept.
    if (SendMessage(EM_GETPASSWORDCHAR) == 0)
        SendMessage(EM_SETPASSWORDCHAR, kFallbackMask);
}
