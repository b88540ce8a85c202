#pragma once

#include <windows.h>

// A window handle with the few calls the program makes on it. It does not own
// the window: destroying the object leaves the window alone.
class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow() = default;
    explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}

    operator HWND() const { return m_hWnd; }

    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    BOOL SetWindowText(const wchar_t* text) { return ::SetWindowTextW(m_hWnd, text); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add)
    {
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (GetStyle() & ~remove) | add);
    }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE); }
    void ModifyStyleEx(LONG_PTR remove, LONG_PTR add)
    {
        ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, (GetExStyle() & ~remove) | add);
    }

    // Family.
    CWindow GetParent() const { return CWindow(::GetParent(m_hWnd)); }

    // The window a child belongs to on screen: up through parents while the
    // window is a child, then through owners.
    CWindow GetTopLevelWindow() const
    {
        HWND hwnd = m_hWnd;
        for (HWND next = hwnd; next; next = NextTowardsTop(next))
            hwnd = next;
        return CWindow(hwnd);
    }

    // The last window reached through GetParent, which climbs parents and
    // then, for a top-level window, its owner.
    CWindow GetOutermostAncestor() const
    {
        HWND hwnd = m_hWnd;
        for (HWND next = hwnd; next; next = ::GetParent(next))
            hwnd = next;
        return CWindow(hwnd);
    }

    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    // Geometry.
    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    int MapWindowPoints(HWND to, POINT* points, UINT count) const
    {
        return ::MapWindowPoints(m_hWnd, to, points, count);
    }
    int MapWindowPoints(HWND to, RECT* rect) const
    {
        return ::MapWindowPoints(m_hWnd, to, reinterpret_cast<POINT*>(rect), 2);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
    }
    BOOL SetWindowPos(HWND insertAfter, const RECT* rect, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter, rect->left, rect->top,
                              rect->right - rect->left, rect->bottom - rect->top, flags);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(const RECT* rect, BOOL repaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                            rect->bottom - rect->top, repaint);
    }
    BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }

    // Painting.
    BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE)
    {
        return ::InvalidateRect(m_hWnd, rect, erase);
    }
    BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }

    // Text and font.
    void SetFont(HFONT font, BOOL redraw = TRUE)
    {
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
    }
    HFONT GetFont() const
    {
        return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    }
    // count is the buffer's size in characters, terminator included.
    int GetWindowText(wchar_t* text, int count) const
    {
        return ::GetWindowTextW(m_hWnd, text, count);
    }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

    // State.
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    // Mouse capture.
    HWND SetCapture() { return ::SetCapture(m_hWnd); }
    bool HasCapture() const { return m_hWnd && ::GetCapture() == m_hWnd; }
    // Releases only a capture this window holds, never another window's.
    BOOL ReleaseCapture()
    {
        return HasCapture() ? ::ReleaseCapture() : FALSE;
    }

private:
    static HWND NextTowardsTop(HWND hwnd)
    {
        if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)
            return ::GetParent(hwnd);
        return ::GetWindow(hwnd, GW_OWNER);
    }
};
