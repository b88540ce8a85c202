#pragma once

#include <windows.h>

#include "settings/CHotkeyCode.h"
#include "win/CWindowImpl.h"

// An edit box that records a hot key instead of text: the user presses the
// combination and the box shows it, such as "Ctrl+Alt+F2". Modifiers alone
// show while they are held and vanish when released. Backspace or Delete on
// their own clear it; the Win key is not taken.
class CHotkeyEditCtrl : public CWindowImpl<CHotkeyEditCtrl> {
public:
    CHotkeyEditCtrl() = default;
    ~CHotkeyEditCtrl() { UnsubclassWindow(); }
    CHotkeyEditCtrl(const CHotkeyEditCtrl&) = delete;
    CHotkeyEditCtrl& operator=(const CHotkeyEditCtrl&) = delete;

    BOOL Subclass(HWND edit);
    void SetCode(BOOL captured, UINT key, BOOL ctrl, BOOL shift, BOOL alt);

    HWND Owner() const { return m_owner; }
    BOOL Captured() const { return m_captured; }
    UINT Key() const { return m_key; }
    BOOL Ctrl() const { return m_ctrl; }
    BOOL Shift() const { return m_shift; }
    BOOL Alt() const { return m_alt; }
    // With nothing captured the code has no key and no modifiers, whatever
    // was held last.
    CHotkeyCode ReadCode(BOOL enabled) const;

    BEGIN_MSG_MAP(CHotkeyEditCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
        MESSAGE_HANDLER(WM_SYSKEYUP, OnKeyUp)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_SYSCHAR, OnChar)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnKeyUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void Reset();
    // Nothing captured and nothing shown.
    void Clear();
    static bool IsHeld(int virtualKey);
    static bool IsWinKey(UINT code);
    static bool AnyModifierHeld();
    void PressModifier(wchar_t (&text)[8], const wchar_t* shown, BOOL& flag);
    bool PressKey(UINT code);
    static void RefreshModifier(int virtualKey, wchar_t (&text)[8], const wchar_t* shown,
                                BOOL& flag);
    void RefreshCtrl() { RefreshModifier(VK_CONTROL, m_ctrlText, kCtrlText, m_ctrl); }
    void RefreshShift() { RefreshModifier(VK_SHIFT, m_shiftText, kShiftText, m_shift); }
    void RefreshAlt() { RefreshModifier(VK_MENU, m_altText, kAltText, m_alt); }
    void ComposeText();
    void ShowText();

    static constexpr const wchar_t* kCtrlText = L"Ctrl+";
    static constexpr const wchar_t* kAltText = L"Alt+";
    static constexpr const wchar_t* kShiftText = L"Shift+";

    HWND m_owner = nullptr;
    wchar_t m_ctrlText[8] = {};
    wchar_t m_altText[8] = {};
    wchar_t m_shiftText[8] = {};
    wchar_t m_keyName[12] = {};
    wchar_t m_text[40] = {};
    BOOL m_captured = FALSE;
    UINT m_key = 0;
    BOOL m_ctrl = FALSE;
    BOOL m_shift = FALSE;
    BOOL m_alt = FALSE;
};
