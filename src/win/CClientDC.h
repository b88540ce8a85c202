#pragma once

#include <windows.h>

#include "win/CDC.h"

// A window's client-area DC, released when it goes.
class CClientDC : public CDCHandle {
public:
    HWND m_hWnd;

    explicit CClientDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetDC(hwnd); }
    ~CClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, Detach());
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
};
