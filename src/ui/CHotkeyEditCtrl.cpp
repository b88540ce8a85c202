#include "ui/CHotkeyEditCtrl.h"

#include "base/CTextWriter.h"

#include <cwchar>

namespace {

void SetFlagText(wchar_t (&text)[8], const wchar_t* shown, BOOL on)
{
    CTextWriter(text, 8).Text(on ? shown : L"");
}

}  // namespace

BOOL CHotkeyEditCtrl::Subclass(HWND edit)
{
    if (!SubclassWindow(edit))
        return FALSE;
    m_owner = GetAncestor(edit, GA_ROOT);
    ModifyStyle(0, WS_VISIBLE | ES_AUTOHSCROLL);
    Reset();
    return TRUE;
}

void CHotkeyEditCtrl::SetCode(BOOL captured, UINT key, BOOL ctrl, BOOL shift, BOOL alt)
{
    m_captured = captured;
    m_key = key;
    m_ctrl = ctrl;
    m_shift = shift;
    m_alt = alt;
    if (key != 0) {
        SetFlagText(m_ctrlText, kCtrlText, ctrl);
        SetFlagText(m_shiftText, kShiftText, shift);
        SetFlagText(m_altText, kAltText, alt);
        CHotkeyCode::KeyName(key, m_keyName);
        ComposeText();
    } else {
        m_text[0] = L'\0';
    }
    SetWindowText(m_text);
}

CHotkeyCode CHotkeyEditCtrl::ReadCode(BOOL enabled) const
{
    CHotkeyCode code;
    code.enabled = enabled;
    if (m_captured) {
        code.key = m_key;
        code.ctrl = m_ctrl;
        code.shift = m_shift;
        code.alt = m_alt;
    }
    return code;
}

LRESULT CHotkeyEditCtrl::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Reset();
    handled = FALSE;  // the edit still sets itself up
    return 0;
}

LRESULT CHotkeyEditCtrl::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const UINT code = static_cast<UINT>(wParam);
    // The stored code has no Win flag: Win with a key would be kept as the
    // key alone, a hot key the user never pressed. Backspace and Delete on
    // their own empty the box, as the system's own hot key control does.
    if (IsWinKey(code) || IsHeld(VK_LWIN) || IsHeld(VK_RWIN) ||
        ((code == VK_BACK || code == VK_DELETE) && !AnyModifierHeld())) {
        Clear();
        return 0;
    }
    switch (code) {
    case VK_CONTROL:
        PressModifier(m_ctrlText, kCtrlText, m_ctrl);
        RefreshShift();
        RefreshAlt();
        break;
    case VK_SHIFT:
        PressModifier(m_shiftText, kShiftText, m_shift);
        RefreshCtrl();
        RefreshAlt();
        break;
    case VK_MENU:
        PressModifier(m_altText, kAltText, m_alt);
        RefreshCtrl();
        RefreshShift();
        break;
    default:
        if (!PressKey(code)) {
            // A key with no name cannot be a hot key: the box starts over.
            m_text[0] = L'\0';
            SetWindowText(m_text);
            return 0;
        }
        break;
    }
    ComposeText();
    ShowText();
    return 0;
}

LRESULT CHotkeyEditCtrl::OnKeyUp(UINT, WPARAM, LPARAM, BOOL&)
{
    // Modifiers on their own are no hot key; they show only while held.
    if (!m_captured)
        SetWindowText(L"");
    return 0;
}

LRESULT CHotkeyEditCtrl::OnChar(UINT, WPARAM, LPARAM, BOOL&)
{
    // The text is ours: the characters the keys make must not be typed in.
    return 0;
}

bool CHotkeyEditCtrl::IsHeld(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

bool CHotkeyEditCtrl::IsWinKey(UINT code) { return code == VK_LWIN || code == VK_RWIN; }

bool CHotkeyEditCtrl::AnyModifierHeld()
{
    return IsHeld(VK_CONTROL) || IsHeld(VK_SHIFT) || IsHeld(VK_MENU);
}

void CHotkeyEditCtrl::Clear()
{
    Reset();
    m_ctrlText[0] = m_altText[0] = m_shiftText[0] = m_keyName[0] = L'\0';
    m_text[0] = L'\0';
    SetWindowText(m_text);
}

void CHotkeyEditCtrl::Reset()
{
    m_captured = FALSE;
    m_key = 0;
    m_ctrl = FALSE;
    m_shift = FALSE;
    m_alt = FALSE;
}

void CHotkeyEditCtrl::PressModifier(wchar_t (&text)[8], const wchar_t* shown, BOOL& flag)
{
    m_keyName[0] = L'\0';
    SetFlagText(text, shown, TRUE);
    flag = TRUE;
    m_captured = FALSE;
}

bool CHotkeyEditCtrl::PressKey(UINT code)
{
    if (!CHotkeyCode::KeyName(code, m_keyName)) {
        m_key = 0;
        m_captured = FALSE;
        return false;
    }
    m_key = code;
    m_captured = TRUE;
    RefreshCtrl();
    RefreshShift();
    RefreshAlt();
    return true;
}

void CHotkeyEditCtrl::RefreshModifier(int virtualKey, wchar_t (&text)[8], const wchar_t* shown,
                                      BOOL& flag)
{
    flag = (GetKeyState(virtualKey) & 0x8000) ? TRUE : FALSE;
    SetFlagText(text, shown, flag);
}

void CHotkeyEditCtrl::ComposeText()
{
    CTextWriter(m_text, 40).Text(m_ctrlText).Text(m_altText).Text(m_shiftText).Text(m_keyName);
}

void CHotkeyEditCtrl::ShowText()
{
    SetWindowText(m_text);
    const WPARAM end = wcslen(m_text);
    SendMessage(EM_SETSEL, end, static_cast<LPARAM>(end));
}
