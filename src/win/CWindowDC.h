#pragma once

#include <windows.h>

#include "win/CDC.h"

// A DC of a window's whole rectangle, frame included, released when it goes.
class CWindowDC : public CDCHandle {
public:
    HWND m_hWnd;

    explicit CWindowDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetWindowDC(hwnd); }
    ~CWindowDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, Detach());
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
};
