#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CButton.h"
#include "win/CCustomDraw.h"
#include "win/CFont.h"
#include "win/CWindowImpl.h"

// A button that looks like a web link: blue text over the background behind
// it, lighter and underlined under the mouse. Its clicks reach the owner as
// BN_CLICKED; it draws through NM_CUSTOMDRAW, so its parent must reflect.
class CThemedHyperlinkCtrl : public CWindowImpl<CThemedHyperlinkCtrl, CButton>,
                             public CCustomDraw<CThemedHyperlinkCtrl> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_ThemedHyperlink", CButton::GetWndClassName())

    static constexpr COLORREF kNormalColor = RGB(40, 90, 200);
    static constexpr COLORREF kHotColor = RGB(60, 120, 220);
    static constexpr UINT kFormat = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER;

    CThemedHyperlinkCtrl() = default;
    CThemedHyperlinkCtrl(const CThemedHyperlinkCtrl&) = delete;
    CThemedHyperlinkCtrl& operator=(const CThemedHyperlinkCtrl&) = delete;

    BOOL SubclassWindow(HWND hwnd);
    void SetBackgroundSource(HWND source);

    HWND BackgroundSource() const { return m_background.Source(); }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }
    HFONT Font() const { return m_font; }
    HFONT UnderlinedFont() const { return m_underlinedFont; }

    BEGIN_MSG_MAP(CThemedHyperlinkCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        CHAIN_MSG_MAP(CCustomDraw<CThemedHyperlinkCtrl>)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

    DWORD OnPrePaint(int, LPNMCUSTOMDRAW draw);
    DWORD OnPreErase(int, LPNMCUSTOMDRAW draw);

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled);

    void Init();
    void MakeUnderlinedFont();
    void Draw(const NMCUSTOMDRAW& draw);

    CBackgroundBrush m_background;
    HFONT m_font = nullptr;
    CFont m_underlinedFont;
    COLORREF m_normalColor = kNormalColor;
    COLORREF m_hotColor = kHotColor;
    UINT m_format = kFormat;
};
