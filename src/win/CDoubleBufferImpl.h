#pragma once

#include <windows.h>

#include "win/CDC.h"
#include "win/CMemoryDC.h"
#include "win/CPaintDC.h"
#include "win/MessageMap.h"

// Paints T through an off-screen bitmap so the screen only ever sees whole
// frames. T provides DoPaint(CDCHandle) and chains this map.
template <class T>
class CDoubleBufferImpl {
public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult, DWORD dwMsgMapID = 0)
    {
        BOOL bHandled = TRUE;
        (void)hWnd;
        (void)dwMsgMapID;
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        return FALSE;
    }

    // The paint covers every pixel; erasing first would only flicker.
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

    LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        T* self = static_cast<T*>(this);
        // Some callers hand a DC in wParam instead of asking for BeginPaint.
        if (wParam) {
            self->DoPaint(CDCHandle(reinterpret_cast<HDC>(wParam)));
            return 0;
        }
        CPaintDC paint(self->m_hWnd);
        CMemoryDC memory(paint, paint.m_ps.rcPaint);
        self->DoPaint(memory.IsNull() ? CDCHandle(paint) : CDCHandle(memory));
        return 0;
    }

    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        static_cast<T*>(this)->DoPaint(CDCHandle(reinterpret_cast<HDC>(wParam)));
        return 0;
    }

protected:
    ~CDoubleBufferImpl() = default;
};
