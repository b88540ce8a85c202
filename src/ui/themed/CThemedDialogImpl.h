#pragma once

#include <windows.h>

#include "ui/themed/CBackgroundBrush.h"
#include "ui/themed/CThemeFonts.h"
#include "win/CDialogImpl.h"
#include "win/CFont.h"
#include "win/MessageMap.h"

#ifndef WM_FORWARDMSG
#define WM_FORWARDMSG 0x037F
#endif

// The base of a settings page: a modeless dialog inside the frame that
// shows the frame's background through itself and lets the kit controls on
// it draw. T chains this map last: CHAIN_MSG_MAP(CThemedDialogImpl<T>).
template <class T>
class CThemedDialogImpl : public CDialogImpl<T> {
public:
    BEGIN_MSG_MAP(CThemedDialogImpl)
        MESSAGE_HANDLER(WM_FORWARDMSG, OnForwardMessage)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    // Called at the end of T's WM_INITDIALOG, once its controls exist.
    void SetUpThemedPage()
    {
        CWindow page(this->m_hWnd);
        page.ModifyStyleEx(0, WS_EX_COMPOSITED);
        m_pageFont.Attach(CThemeFonts::CreatePageFont(CDpi::OfWindow(this->m_hWnd)));
        page.SetFont(m_pageFont, FALSE);
        ::EnumChildWindows(this->m_hWnd, SetFontOfChild,
                           reinterpret_cast<LPARAM>(m_pageFont.m_hFont));
    }

    HFONT PageFont() const { return m_pageFont; }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }

protected:
    ~CThemedDialogImpl() = default;

private:
    // The frame hands each message to its current page before dispatching
    // it, so Tab, arrows and mnemonics work inside a modeless page.
    LRESULT OnForwardMessage(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        auto* message = reinterpret_cast<MSG*>(lParam);
        return message ? ::IsDialogMessageW(this->m_hWnd, message) : FALSE;
    }

    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        HWND frame = ::GetParent(this->m_hWnd);
        if (m_background.Source() != frame)
            m_background.SetSource(frame);
        RECT client{};
        ::GetClientRect(this->m_hWnd, &client);
        m_background.Fill(this->m_hWnd, reinterpret_cast<HDC>(wParam), client);
        return 1;
    }

    // The frame's layout pass moves and sizes pages; what lies behind them
    // changes with it.
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_background.Drop();
        handled = FALSE;
        return 0;
    }

    static BOOL CALLBACK SetFontOfChild(HWND child, LPARAM font)
    {
        ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        return TRUE;
    }

    CBackgroundBrush m_background;
    CFont m_pageFont;
};
