// Message-map macros in the ATL shape. A class's map expands to its
// ProcessWindowMessage; handlers clear bHandled to let the message go on.
#pragma once

#include <windows.h>

#define BEGIN_MSG_MAP(theClass)                                                              \
public:                                                                                      \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,            \
                              LRESULT& lResult, DWORD dwMsgMapID = 0) override               \
    {                                                                                        \
        BOOL bHandled = TRUE;                                                                \
        (void)hWnd;                                                                          \
        (void)dwMsgMapID;                                                                    \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                                           \
    if (uMsg == (msg)) {                                                                     \
        bHandled = TRUE;                                                                     \
        lResult = func(uMsg, wParam, lParam, bHandled);                                      \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define COMMAND_ID_HANDLER(id, func)                                                         \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                      \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),       \
                       bHandled);                                                            \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                         \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast)) {   \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),       \
                       bHandled);                                                            \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define NOTIFY_CODE_HANDLER(cd, func)                                                        \
    if (uMsg == WM_NOTIFY && (cd) == reinterpret_cast<LPNMHDR>(lParam)->code) {              \
        bHandled = TRUE;                                                                     \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled); \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                         \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))            \
        return TRUE;

#define END_MSG_MAP()                                                                        \
    return FALSE;                                                                            \
    }
