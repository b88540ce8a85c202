#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/CTrace.h"

// The notification-area icon of a window T: adds and removes it, shows its
// menu on a right click and runs the menu's default item on a double click.
template <class T>
class CTrayIconImpl {
public:
    CTrayIconImpl()
        : m_trayMessage(RegisterWindowMessageW(L"WM_TRAYICON")),
          m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated"))
    {
        m_data.cbSize = sizeof(m_data);
    }
    virtual ~CTrayIconImpl() = default;

    bool InstallIcon(const wchar_t* tip, HICON icon, UINT id)
    {
        T* self = static_cast<T*>(this);
        m_data.hWnd = self->m_hWnd;
        m_data.uID = id;
        m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        m_data.uCallbackMessage = m_trayMessage;
        m_data.hIcon = icon;
        lstrcpynW(m_data.szTip, tip, ARRAYSIZE(m_data.szTip));
        m_wanted = true;
        AddIcon();
        return m_installed;
    }

    void RemoveIcon()
    {
        m_wanted = false;
        if (!m_installed)
            return;
        m_data.uFlags = 0;
        Shell_NotifyIconW(NIM_DELETE, &m_data);
        m_installed = false;
    }

    bool IconInstalled() const { return m_installed; }

    void AddIcon()
    {
        m_installed = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
        if (!m_installed)
            CTrace::LastError(L"Shell_NotifyIconW", L"the tray icon; tried again with a taskbar");
    }
    UINT TrayMessage() const { return m_trayMessage; }

    // Called with the pop-up menu just before it is shown.
    virtual void PrepareMenu(HMENU) {}

    // Chained from T's message map.
    BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD = 0)
    {
        if (uMsg == m_trayMessage) {
            lResult = OnTrayIcon(wParam, lParam);
            return TRUE;
        }
        if (uMsg == m_taskbarCreated)
            OnTaskbarCreated();
        return FALSE;
    }

protected:
    UINT m_defaultItem = 0;  // 0: the item at position 0

private:
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam)
    {
        if (wParam != m_data.uID)
            return 0;
        switch (LOWORD(lParam)) {
        case WM_RBUTTONUP:
            ShowMenu();
            break;
        case WM_LBUTTONDBLCLK:
            RunDefaultItem();
            break;
        default:
            break;  // a single click does nothing
        }
        return 0;
    }

    // Explorer forgets every icon when it restarts, and refuses them before
    // its taskbar exists (Quillow may start with Windows before Explorer):
    // whenever a taskbar appears, the icon goes (back) in.
    void OnTaskbarCreated()
    {
        if (m_wanted)
            AddIcon();
    }

    void ShowMenu()
    {
        T* self = static_cast<T*>(this);
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_data.uID));
        if (!menu)
            return;
        HMENU popup = GetSubMenu(menu, 0);
        PrepareMenu(popup);
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(self->m_hWnd);
        if (m_defaultItem)
            SetMenuDefaultItem(popup, m_defaultItem, FALSE);
        else
            SetMenuDefaultItem(popup, 0, TRUE);
        TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, self->m_hWnd, nullptr);
        // Without it the menu would not close when the user clicks elsewhere.
        PostMessageW(self->m_hWnd, WM_NULL, 0, 0);
        DestroyMenu(menu);
    }

    void RunDefaultItem()
    {
        T* self = static_cast<T*>(this);
        SetForegroundWindow(self->m_hWnd);
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_data.uID));
        if (!menu)
            return;
        const UINT command = m_defaultItem ? m_defaultItem : GetMenuItemID(GetSubMenu(menu, 0), 0);
        SendMessageW(self->m_hWnd, WM_COMMAND, command, 0);
        DestroyMenu(menu);
    }

    const UINT m_trayMessage;
    const UINT m_taskbarCreated;
    NOTIFYICONDATAW m_data{};
    bool m_installed = false;
    bool m_wanted = false;  // shown as far as the user is concerned
};
