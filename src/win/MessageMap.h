// Message-map macros in the ATL shape. A class's map expands to its
// ProcessWindowMessage; handlers clear bHandled to let the message go on.
#pragma once

#include <windows.h>
#include <commctrl.h>

// A parent sends a control's notifications back to it as the same message
// plus OCM__BASE, so the control can answer them itself (its own painting,
// its own colours). olectl.h carries these, but it drags OLE in with it.
#ifndef OCM__BASE
#define OCM__BASE (WM_USER + 0x1c00)
#define OCM_COMMAND (OCM__BASE + WM_COMMAND)
#define OCM_CTLCOLORBTN (OCM__BASE + WM_CTLCOLORBTN)
#define OCM_CTLCOLOREDIT (OCM__BASE + WM_CTLCOLOREDIT)
#define OCM_CTLCOLORDLG (OCM__BASE + WM_CTLCOLORDLG)
#define OCM_CTLCOLORLISTBOX (OCM__BASE + WM_CTLCOLORLISTBOX)
#define OCM_CTLCOLORMSGBOX (OCM__BASE + WM_CTLCOLORMSGBOX)
#define OCM_CTLCOLORSCROLLBAR (OCM__BASE + WM_CTLCOLORSCROLLBAR)
#define OCM_CTLCOLORSTATIC (OCM__BASE + WM_CTLCOLORSTATIC)
#define OCM_DRAWITEM (OCM__BASE + WM_DRAWITEM)
#define OCM_MEASUREITEM (OCM__BASE + WM_MEASUREITEM)
#define OCM_DELETEITEM (OCM__BASE + WM_DELETEITEM)
#define OCM_VKEYTOITEM (OCM__BASE + WM_VKEYTOITEM)
#define OCM_CHARTOITEM (OCM__BASE + WM_CHARTOITEM)
#define OCM_COMPAREITEM (OCM__BASE + WM_COMPAREITEM)
#define OCM_HSCROLL (OCM__BASE + WM_HSCROLL)
#define OCM_VSCROLL (OCM__BASE + WM_VSCROLL)
#define OCM_PARENTNOTIFY (OCM__BASE + WM_PARENTNOTIFY)
#define OCM_NOTIFY (OCM__BASE + WM_NOTIFY)
#endif

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

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                       \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                           \
        bHandled = TRUE;                                                                     \
        lResult = func(uMsg, wParam, lParam, bHandled);                                      \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define COMMAND_CODE_HANDLER(code, func)                                                     \
    if (uMsg == WM_COMMAND && (code) == HIWORD(wParam)) {                                    \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),       \
                       bHandled);                                                            \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define COMMAND_HANDLER(id, code, func)                                                      \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam) && (code) == HIWORD(wParam)) {          \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),       \
                       bHandled);                                                            \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

// In a control's own map: the notifications its parent reflected back.
#define REFLECTED_COMMAND_CODE_HANDLER(code, func)                                           \
    if (uMsg == OCM_COMMAND && (code) == HIWORD(wParam)) {                                   \
        bHandled = TRUE;                                                                     \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam),       \
                       bHandled);                                                            \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                                              \
    if (uMsg == OCM_NOTIFY && (cd) == reinterpret_cast<LPNMHDR>(lParam)->code) {             \
        bHandled = TRUE;                                                                     \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled); \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // Windows 8.1 on; the headers hide it below that
#endif

// Typed handlers in the shape of WTL's message crackers, for the messages
// the kit handles most: the handler gets the message's own arguments and
// returns nothing, and calls SetMsgHandled(FALSE) to let the message go on.
// Only in the map of a window object (CMessageMap keeps that flag); the flag
// of a message handled further out is put back, since a handler may send
// its window another message (a resize from a DPI change).
#define MSG_CRACKED_HANDLER_(msg, call)                                                      \
    if (uMsg == (msg)) {                                                                     \
        const BOOL outerHandled = this->IsMsgHandled();                                      \
        this->SetMsgHandled(TRUE);                                                           \
        call;                                                                                \
        lResult = 0;                                                                         \
        const BOOL handledHere = this->IsMsgHandled();                                       \
        this->SetMsgHandled(outerHandled);                                                   \
        if (handledHere)                                                                     \
            return TRUE;                                                                     \
    }

// void OnTimer(UINT_PTR timerId)
#define MSG_WM_TIMER(func) MSG_CRACKED_HANDLER_(WM_TIMER, func(static_cast<UINT_PTR>(wParam)))

// void OnSize(UINT sizeType, SIZE clientSize)
#define MSG_WM_SIZE(func)                                                                    \
    MSG_CRACKED_HANDLER_(WM_SIZE, func(static_cast<UINT>(wParam),                            \
                                       SIZE{LOWORD(lParam), HIWORD(lParam)}))

// void OnPaint(HDC dc): the DC some callers pass in wParam, mostly none.
#define MSG_WM_PAINT(func) MSG_CRACKED_HANDLER_(WM_PAINT, func(reinterpret_cast<HDC>(wParam)))

// void OnDpiChanged(UINT dpiX, UINT dpiY, const RECT* suggested)
#define MSG_WM_DPICHANGED(func)                                                              \
    MSG_CRACKED_HANDLER_(WM_DPICHANGED, func(LOWORD(wParam), HIWORD(wParam),                 \
                                             reinterpret_cast<const RECT*>(lParam)))

// In a parent's map: sends control notifications back to their control.
#define REFLECT_NOTIFICATIONS()                                                              \
    {                                                                                        \
        bHandled = TRUE;                                                                     \
        lResult = ReflectNotification(hWnd, uMsg, wParam, lParam, bHandled);                 \
        if (bHandled)                                                                        \
            return TRUE;                                                                     \
    }

// In a control's map, after its own reflected handlers: whatever reflected
// message it did not answer gets the answer the parent would have given.
#define DEFAULT_REFLECTION_HANDLER()                                                         \
    if (DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult))                       \
        return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                 \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))          \
        return TRUE;

#define CHAIN_MSG_MAP(theChainClass)                                                         \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))            \
        return TRUE;

#define END_MSG_MAP()                                                                        \
    return FALSE;                                                                            \
    }

// The control that a notification of the parent came from, or nullptr for a
// message that is not a control notification (a menu's WM_COMMAND, a
// menu's WM_DRAWITEM).
inline HWND NotifyingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
            return reinterpret_cast<HWND>(lParam);
        return ::GetDlgItem(parent, HIWORD(wParam));
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wParam ? ::GetDlgItem(parent,
                                     reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                      : nullptr;
    case WM_COMPAREITEM:
        return wParam ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return wParam ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

// Only a child of this parent gets the reflection; a notification naming
// some other window (a tool tip, which is a popup it owns) is left to the
// parent's usual handling.
inline LRESULT ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam,
                                   BOOL& handled)
{
    HWND control = NotifyingControl(parent, message, wParam, lParam);
    if (!control || !::IsWindow(control) || ::GetAncestor(control, GA_PARENT) != parent) {
        handled = FALSE;
        return 1;
    }
    return ::SendMessageW(control, OCM__BASE + message, wParam, lParam);
}

inline bool IsReflectedMessage(UINT message)
{
    switch (message) {
    case OCM_COMMAND:
    case OCM_NOTIFY:
    case OCM_PARENTNOTIFY:
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_COMPAREITEM:
    case OCM_DELETEITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

inline bool DefaultReflectionHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result)
{
    if (!IsReflectedMessage(message))
        return false;
    result = ::DefWindowProcW(hwnd, message - OCM__BASE, wParam, lParam);
    return true;
}
