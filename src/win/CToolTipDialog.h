#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win/MessageMap.h"

// Gives every control of a dialog whose id has a string-table entry a tool
// tip with that text. T chains this map; its own WM_INITDIALOG still runs.
template <class T>
class CToolTipDialog {
public:
    explicit CToolTipDialog(UINT toolStyle = TTS_NOPREFIX | TTS_BALLOON,
                            UINT toolFlags = TTF_IDISHWND | TTF_SUBCLASS)
        : m_toolStyle(toolStyle), m_toolFlags(toolFlags)
    {
    }

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult, DWORD dwMsgMapID = 0)
    {
        BOOL bHandled = TRUE;
        (void)hWnd;
        (void)dwMsgMapID;
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        return FALSE;
    }

    HWND ToolTip() const { return m_toolTip; }

protected:
    ~CToolTipDialog() = default;

private:
    struct ToolSetUp {
        CToolTipDialog* self;
        HWND dialog;
    };

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        HWND dialog = static_cast<T*>(this)->m_hWnd;
        DestroyToolTip();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | m_toolStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
        if (!m_toolTip)
            return 0;
        ToolSetUp setUp{this, dialog};
        ::EnumChildWindows(dialog, AddToolForChild, reinterpret_cast<LPARAM>(&setUp));
        return 0;
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        DestroyToolTip();
        return 0;
    }

    void DestroyToolTip()
    {
        if (m_toolTip && ::IsWindow(m_toolTip))
            ::DestroyWindow(m_toolTip);
        m_toolTip = nullptr;
    }

    // The string table's own copy is read in place, so a tip of any length
    // arrives whole.
    static std::wstring StringOf(int id)
    {
        const wchar_t* text = nullptr;
        const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                         reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || !text)
            return std::wstring();
        return std::wstring(text, static_cast<size_t>(length));
    }

    static BOOL CALLBACK AddToolForChild(HWND child, LPARAM param)
    {
        const auto* setUp = reinterpret_cast<const ToolSetUp*>(param);
        const int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id == 0xFFFF)
            return TRUE;
        std::wstring text = StringOf(id);
        if (text.empty())
            return TRUE;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = setUp->self->m_toolFlags;
        tool.hwnd = setUp->dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = text.data();
        ::SendMessageW(setUp->self->m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return TRUE;
    }

    UINT m_toolStyle;
    UINT m_toolFlags;
    HWND m_toolTip = nullptr;
};
