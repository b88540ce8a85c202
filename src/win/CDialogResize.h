#pragma once

#include <windows.h>

#include <vector>

#include "win/MessageMap.h"

// How a mapped control follows the dialog's client size: grow with it, move
// with it, or both, along either axis.
#define DLSZ_SIZE_X 0x00000001
#define DLSZ_SIZE_Y 0x00000002
#define DLSZ_MOVE_X 0x00000004
#define DLSZ_MOVE_Y 0x00000008
#define DLSZ_REPAINT 0x00000010

struct CDlgResizeEntry {
    int id;  // -1 ends the map
    DWORD flags;
};

#define BEGIN_DLGRESIZE_MAP(thisClass)                                                       \
    static const CDlgResizeEntry* GetDlgResizeMap()                                          \
    {                                                                                        \
        static const CDlgResizeEntry theMap[] = {

#define DLGRESIZE_CONTROL(id, flags) {(id), (flags)},

#define END_DLGRESIZE_MAP()                                                                  \
    {-1, 0}                                                                                  \
    }                                                                                        \
    ;                                                                                        \
    return theMap;                                                                           \
    }

// Keeps a dialog's controls in place as the dialog is resized: each mapped
// control moves or grows by the change in client size since DlgResize_Init.
// T declares the map, calls DlgResize_Init in WM_INITDIALOG and chains this.
template <class T>
class CDialogResize {
public:
    // The gripper's id is the one frames give their status bar, so it never
    // clashes with a template's controls.
    static constexpr int kGripperId = 0xE801;

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult, DWORD dwMsgMapID = 0)
    {
        BOOL bHandled = TRUE;
        (void)hWnd;
        (void)dwMsgMapID;
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        return FALSE;
    }

    void DlgResize_Init(bool addGripper = true, bool useMinTrackSize = true,
                        DWORD dlgStyle = WS_CLIPCHILDREN)
    {
        HWND dialog = static_cast<T*>(this)->m_hWnd;
        const LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
        if ((style & dlgStyle) != dlgStyle)
            ::SetWindowLongPtrW(dialog, GWL_STYLE, style | dlgStyle);
        const bool child = (style & WS_CHILD) != 0;

        RECT client{};
        ::GetClientRect(dialog, &client);
        m_initialSize = SIZE{client.right, client.bottom};
        DestroyGripper(dialog);
        if (addGripper && !child)
            CreateGripper(dialog, client);
        m_minTrackSize = POINT{-1, -1};
        if (useMinTrackSize)
            m_minTrackSize = MinTrackSize(dialog, child, client);
        RememberControls(dialog);
    }

    // The rectangle a control first had moved and grown by the change in
    // client size, as its flags ask.
    static RECT ResizedRect(const RECT& initial, DWORD flags, int dx, int dy)
    {
        RECT rect = initial;
        if (flags & DLSZ_MOVE_X) {
            rect.left += dx;
            rect.right += dx;
        } else if (flags & DLSZ_SIZE_X) {
            rect.right += dx;
        }
        if (flags & DLSZ_MOVE_Y) {
            rect.top += dy;
            rect.bottom += dy;
        } else if (flags & DLSZ_SIZE_Y) {
            rect.bottom += dy;
        }
        return rect;
    }

protected:
    ~CDialogResize() = default;

private:
    struct Placement {
        int id;
        DWORD flags;
        RECT initial;
    };

    void RememberControls(HWND dialog)
    {
        m_controls.clear();
        for (const CDlgResizeEntry* entry = T::GetDlgResizeMap(); entry->id != -1; ++entry) {
            HWND control = ::GetDlgItem(dialog, entry->id);
            if (!control)
                continue;
            RECT rect{};
            ::GetWindowRect(control, &rect);
            ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
            m_controls.push_back(Placement{entry->id, entry->flags, rect});
        }
    }

    static POINT MinTrackSize(HWND dialog, bool child, const RECT& client)
    {
        if (child)
            return POINT{client.right, client.bottom};
        RECT window{};
        ::GetWindowRect(dialog, &window);
        return POINT{window.right - window.left, window.bottom - window.top};
    }

    void CreateGripper(HWND dialog, const RECT& client)
    {
        ::CreateWindowExW(0, L"SCROLLBAR", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX | SBS_SIZEGRIP |
                              SBS_SIZEBOXBOTTOMRIGHTALIGN,
                          client.left, client.top, client.right - client.left,
                          client.bottom - client.top, dialog,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kGripperId)),
                          ::GetModuleHandleW(nullptr), nullptr);
    }

    static void DestroyGripper(HWND dialog)
    {
        if (HWND gripper = ::GetDlgItem(dialog, kGripperId))
            ::DestroyWindow(gripper);
    }

    void PlaceGripper(HWND dialog, int width, int height, bool maximized)
    {
        HWND gripper = ::GetDlgItem(dialog, kGripperId);
        if (!gripper)
            return;
        RECT rect{};
        ::GetWindowRect(gripper, &rect);
        const int size = rect.right - rect.left;
        ::SetWindowPos(gripper, nullptr, width - size, height - (rect.bottom - rect.top), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // A maximized window cannot be sized by its corner.
        ::ShowWindow(gripper, maximized ? SW_HIDE : SW_SHOWNA);
    }

    LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        // Other maps of the dialog lay out on WM_SIZE too.
        handled = FALSE;
        if (wParam == SIZE_MINIMIZED)
            return 0;
        HWND dialog = static_cast<T*>(this)->m_hWnd;
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        const int dx = width - m_initialSize.cx;
        const int dy = height - m_initialSize.cy;
        HDWP batch = ::BeginDeferWindowPos(static_cast<int>(m_controls.size()));
        for (const Placement& placement : m_controls) {
            HWND control = ::GetDlgItem(dialog, placement.id);
            if (!control)
                continue;
            const RECT rect = ResizedRect(placement.initial, placement.flags, dx, dy);
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (batch)
                batch = ::DeferWindowPos(batch, control, nullptr, rect.left, rect.top,
                                         rect.right - rect.left, rect.bottom - rect.top, flags);
            else
                ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, flags);
            if (placement.flags & DLSZ_REPAINT)
                ::InvalidateRect(control, nullptr, TRUE);
        }
        if (batch)
            ::EndDeferWindowPos(batch);
        PlaceGripper(dialog, width, height, wParam == SIZE_MAXIMIZED);
        return 0;
    }

    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        handled = FALSE;
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info && m_minTrackSize.x != -1)
            info->ptMinTrackSize = m_minTrackSize;
        return 0;
    }

    SIZE m_initialSize{};
    POINT m_minTrackSize{-1, -1};
    std::vector<Placement> m_controls;
};
