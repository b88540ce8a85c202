#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win/CWindow.h"

// A list view: the few calls the program makes on one.
class CListViewCtrl : public CWindow {
public:
    CListViewCtrl() = default;
    explicit CListViewCtrl(HWND hwnd) : CWindow(hwnd) {}

    static constexpr const wchar_t* GetWndClassName() { return WC_LISTVIEWW; }

    // A dialog template naming the class cannot be created before comctl32
    // registered it; the program's start registers only the bar classes.
    static bool EnsureClassRegistered()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }

    int InsertColumn(int index, const wchar_t* heading, int format, int width)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(heading);
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, index,
                                               reinterpret_cast<LPARAM>(&column)));
    }

    void SetExtendedListViewStyle(DWORD style)
    {
        ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
    }

    int GetItemCount() const
    {
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
    }

    BOOL DeleteAllItems() { return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0)); }

    // The index the row got, or -1.
    int InsertItem(int index, const wchar_t* text)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text);
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0,
                                               reinterpret_cast<LPARAM>(&item)));
    }

    // State image 2 is the ticked box, 1 the empty one.
    bool GetCheckState(int index) const
    {
        const UINT state = static_cast<UINT>(
            ::SendMessageW(m_hWnd, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK));
        return (state >> 12) == 2;
    }

    BOOL SetCheckState(int index, bool checked)
    {
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_SETITEMSTATE, index,
                                                reinterpret_cast<LPARAM>(&item)));
    }
};
