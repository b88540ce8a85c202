#pragma once

#include <windows.h>

#include "win/CWindow.h"

// A push button, check box or radio button.
class CButton : public CWindow {
public:
    CButton() = default;
    explicit CButton(HWND hwnd) : CWindow(hwnd) {}

    static constexpr const wchar_t* GetWndClassName() { return L"Button"; }

    int GetCheck() const
    {
        return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0));
    }
    void SetCheck(int check) { ::SendMessageW(m_hWnd, BM_SETCHECK, check, 0); }
    UINT GetState() const { return static_cast<UINT>(::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0)); }
    void Click() { ::SendMessageW(m_hWnd, BM_CLICK, 0, 0); }
};
