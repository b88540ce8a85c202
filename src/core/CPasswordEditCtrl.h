#pragma once

#include <windows.h>

#include "../win/CWindowImpl.h"

// The field a password is typed into: masked, scrolling sideways, and never
// longer than a stored password can be.
class CPasswordEditCtrl : public CWindowImpl<CPasswordEditCtrl> {
public:
    static constexpr int kMaxLength = 15;

    // Takes over an edit control, such as one from a dialog template.
    BOOL SubclassWindow(HWND hwnd);

    BEGIN_MSG_MAP(CPasswordEditCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void ApplyPasswordSettings();
};
