#pragma once

#include <windows.h>

#include "win/CWindow.h"
#include "win/CWindowImpl.h"
#include "win/MessageMap.h"

// The base of every dialog object; T::IDD names its dialog template. The
// object is attached to its window at WM_INITDIALOG and detached at
// WM_NCDESTROY, like the windows of CWindowImpl.
template <class T, class TBase = CWindow>
class CDialogImpl : public TBase, public CMessageMap {
public:
    // Returns what EndDialog was given, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND owner = ::GetActiveWindow(), LPARAM init = 0)
    {
        if (this->m_hWnd)
            return -1;
        m_initParam = init;
        return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(T::IDD), owner,
                                 StartDialogProc, SelfParam());
    }

    // A modeless dialog, such as a page inside another window.
    HWND Create(HWND parent, LPARAM init = 0)
    {
        if (this->m_hWnd)
            return nullptr;
        m_initParam = init;
        return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(T::IDD), parent,
                                    StartDialogProc, SelfParam());
    }

    // Ends a modal dialog only; a modeless one is destroyed like any window.
    BOOL EndDialog(int result) { return ::EndDialog(this->m_hWnd, result); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(this->m_hWnd, id); }

    // Centres on the reference window, or on the work area of the dialog's
    // monitor when there is none; never pushes the caption off that work area.
    void CenterWindow(HWND reference = nullptr)
    {
        const RECT workArea = WorkAreaOf(this->m_hWnd);
        RECT around = workArea;
        if (reference)
            ::GetWindowRect(reference, &around);
        RECT self{};
        ::GetWindowRect(this->m_hWnd, &self);
        const int width = self.right - self.left;
        const int height = self.bottom - self.top;
        int left = around.left + (around.right - around.left - width) / 2;
        int top = around.top + (around.bottom - around.top - height) / 2;
        left = Clamp(left, workArea.left, workArea.right - width);
        top = Clamp(top, workArea.top, workArea.bottom - height);
        ::SetWindowPos(this->m_hWnd, nullptr, left, top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Called after the window is gone; the object may delete itself here.
    virtual void OnFinalMessage(HWND) {}

protected:
    ~CDialogImpl() = default;

private:
    // The start procedure casts back to T, so the address handed over is T's.
    LPARAM SelfParam() { return reinterpret_cast<LPARAM>(static_cast<T*>(this)); }

    static RECT WorkAreaOf(HWND hwnd)
    {
        MONITORINFO info{sizeof(info)};
        ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &info);
        return info.rcWork;
    }

    // The low bound wins when the window is larger than the room it has.
    static int Clamp(int value, int low, int high)
    {
        if (value > high)
            value = high;
        return value < low ? low : value;
    }

    // These messages return their result from the dialog procedure itself;
    // every other one returns it through DWLP_MSGRESULT.
    static bool ReturnsResultDirectly(UINT message)
    {
        switch (message) {
        case WM_INITDIALOG:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
        }
    }

    static INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<T*>(lParam);
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            // The handler sees the caller's value, as with a plain dialog box.
            lParam = self->m_initParam;
        }
        // Messages before WM_INITDIALOG (WM_SETFONT, WM_CREATE) find no object.
        auto* self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self)
            return FALSE;
        LRESULT result = 0;
        const BOOL handled = self->ProcessWindowMessage(hwnd, message, wParam, lParam, result);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd);
            return handled;
        }
        if (!handled)
            return FALSE;
        if (ReturnsResultDirectly(message))
            return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    LPARAM m_initParam = 0;
};
