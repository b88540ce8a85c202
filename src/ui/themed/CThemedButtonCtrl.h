#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CBitmap.h"
#include "win/CButton.h"
#include "win/CCustomDraw.h"
#include "win/CWindowImpl.h"

// A push button drawn from an image of five frames side by side (rest,
// hot, pressed and so on) stretched as a nine-grid over the background
// behind it. It draws through NM_CUSTOMDRAW, so its parent must reflect
// notifications.
class CThemedButtonCtrl : public CWindowImpl<CThemedButtonCtrl, CButton>,
                          public CCustomDraw<CThemedButtonCtrl> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_ThemedButton", CButton::GetWndClassName())

    static constexpr int kFrameCount = 5;
    static constexpr int kRestFrame = 3;
    static constexpr int kHotFrame = 1;
    static constexpr int kPressedFrame = 4;

    CThemedButtonCtrl() = default;
    CThemedButtonCtrl(const CThemedButtonCtrl&) = delete;
    CThemedButtonCtrl& operator=(const CThemedButtonCtrl&) = delete;

    BOOL SubclassWindow(HWND hwnd);
    // A button of a dialog that paints its own background: the dialog is the
    // background source, and the face has the same border all round, given
    // at 96 DPI and scaled to the dialog's.
    BOOL SubclassDialogButton(HWND dialog, int id, HBITMAP image, int border);
    // A PNG of the five frames, at the DPI of the window its buttons are in.
    static HBITMAP LoadImageFor(HWND window, UINT pngId);
    void SetBackgroundSource(HWND source);
    // The caller keeps the image and deletes it after the button is gone.
    void SetImage(HBITMAP image, int left, int top, int right, int bottom);
    void SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hot);

    HWND BackgroundSource() const { return m_background.Source(); }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }

    // The image frame an item state shows; later states win.
    static int FrameFor(UINT itemState);
    // The text colour an item state shows: pressed wins over hot.
    COLORREF TextColorFor(UINT itemState) const;

    BEGIN_MSG_MAP(CThemedButtonCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        CHAIN_MSG_MAP(CCustomDraw<CThemedButtonCtrl>)
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
    void Draw(const NMCUSTOMDRAW& draw);
    void DrawFrame(HDC dc, const RECT& rect, int frame);
    void DrawLabel(HDC dc, RECT rect, UINT itemState);
    void DrawFocus(HDC dc, RECT rect, UINT itemState);

    CBackgroundBrush m_background;
    HFONT m_font = nullptr;
    CBitmapHandle m_image;
    RECT m_borders{8, 8, 8, 8};
    COLORREF m_normalTextColor = RGB(0, 0, 0);
    COLORREF m_pressedTextColor = RGB(255, 255, 255);
    COLORREF m_hotTextColor = RGB(255, 255, 255);
};
