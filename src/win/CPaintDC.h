#pragma once

#include <windows.h>

#include "win/CDC.h"

// The DC of one WM_PAINT: BeginPaint on construction, EndPaint when it goes.
class CPaintDC : public CDCHandle {
public:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};

    explicit CPaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC()
    {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
};
