#pragma once

#include <windows.h>

#include "win/CWindowImpl.h"
#include "win/IForegroundWindow.h"

// The field a password is typed into: masked, scrolling sideways, and never
// longer than a stored password can be.
class CPasswordEditCtrl : public CWindowImpl<CPasswordEditCtrl> {
public:
    static constexpr int kMaxLength = 15;

    // Takes over an edit control, such as one from a dialog template.
    BOOL SubclassWindow(HWND hwnd);

    // From now on the field takes typed or pasted text only while its
    // top-level window is the foreground window, as foreground tells it;
    // nullptr takes it always, as the settings page does. The foreground
    // must outlive the field's window.
    void TakeTextOnlyInForeground(const IForegroundWindow* foreground)
    {
        m_foreground = foreground;
    }

    // The rule: text typed while another window is in front was meant for
    // that window, not for a password field.
    static bool TakesTypedText(HWND topLevel, HWND foreground)
    {
        return topLevel && topLevel == foreground;
    }

    BEGIN_MSG_MAP(CPasswordEditCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_CHAR, OnTypedText)
        MESSAGE_HANDLER(WM_IME_CHAR, OnTypedText)
        MESSAGE_HANDLER(WM_PASTE, OnTypedText)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTypedText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void ApplyPasswordSettings();

    const IForegroundWindow* m_foreground = nullptr;
};
