#pragma once

#include <windows.h>

#include "ui/themed/CFadeStateButtonImpl.h"
#include "win/CButton.h"
#include "win/CWindowImpl.h"

// The navigation panel's image button: a system button underneath, so focus,
// keyboard presses and BN_CLICKED work as for any other button.
class CFadeStateButtonCtrl : public CFadeStateButtonImpl<CFadeStateButtonCtrl, CButton> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_FadeStateButton", CButton::GetWndClassName())

    CFadeStateButtonCtrl() = default;
    ~CFadeStateButtonCtrl();
    CFadeStateButtonCtrl(const CFadeStateButtonCtrl&) = delete;
    CFadeStateButtonCtrl& operator=(const CFadeStateButtonCtrl&) = delete;
};
