#pragma once

#include <windows.h>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CStatic.h"
#include "win/CWindowImpl.h"

// A static text drawn straight over the background behind it, in a colour
// and DrawText format of the owner's choosing.
class CThemedLabelCtrl : public CWindowImpl<CThemedLabelCtrl, CStatic> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_ThemedLabel", CStatic::GetWndClassName())

    static constexpr UINT kDefaultFormat = DT_NOPREFIX | DT_SINGLELINE;

    CThemedLabelCtrl() = default;
    CThemedLabelCtrl(const CThemedLabelCtrl&) = delete;
    CThemedLabelCtrl& operator=(const CThemedLabelCtrl&) = delete;

    BOOL SubclassWindow(HWND hwnd);
    void SetBackgroundSource(HWND source);
    void SetTextColor(COLORREF color);
    void SetTextFormat(UINT format);

    HWND BackgroundSource() const { return m_background.Source(); }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }

    // The caller's format without the flags that would not draw as given.
    static UINT DrawableFormat(UINT format);

    BEGIN_MSG_MAP(CThemedLabelCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MSG_WM_PAINT(OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    void OnPaint(HDC);
    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);

    void Init();
    void Draw(HDC dc);

    CBackgroundBrush m_background;
    HFONT m_font = nullptr;
    COLORREF m_textColor = RGB(0, 0, 0);
    UINT m_format = kDefaultFormat;
};
