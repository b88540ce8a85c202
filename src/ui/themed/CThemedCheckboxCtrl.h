#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CButton.h"
#include "win/CCustomDraw.h"
#include "win/CWindowImpl.h"

// A check box whose box and text the system draws, over the background
// behind it instead of a plain colour: it answers the WM_CTLCOLORSTATIC its
// parent reflects back.
class CThemedCheckboxCtrl : public CWindowImpl<CThemedCheckboxCtrl, CButton>,
                            public CCustomDraw<CThemedCheckboxCtrl> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_ThemedCheckbox", CButton::GetWndClassName())

    static constexpr COLORREF kTextColor = RGB(0, 0, 0);
    static constexpr COLORREF kDisabledTextColor = RGB(40, 40, 40);

    CThemedCheckboxCtrl() = default;
    CThemedCheckboxCtrl(const CThemedCheckboxCtrl&) = delete;
    CThemedCheckboxCtrl& operator=(const CThemedCheckboxCtrl&) = delete;

    BOOL SubclassWindow(HWND hwnd);
    void SetBackgroundSource(HWND source);

    HWND BackgroundSource() const { return m_background.Source(); }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }

    BEGIN_MSG_MAP(CThemedCheckboxCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(OCM_CTLCOLORSTATIC, OnControlColor)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        CHAIN_MSG_MAP(CCustomDraw<CThemedCheckboxCtrl>)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnControlColor(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled);

    void Init();

    CBackgroundBrush m_background;
};
