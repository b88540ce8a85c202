#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win/MessageMap.h"

// Splits NM_CUSTOMDRAW into one call per drawing stage. A parent chains it
// for notifications of its children; a control chains it for the ones its
// parent reflected back (OCM_NOTIFY). T hides the stages it draws in.
template <class T>
class CCustomDraw {
public:
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult, DWORD dwMsgMapID = 0)
    {
        BOOL bHandled = TRUE;
        (void)hWnd;
        (void)dwMsgMapID;
        NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
        REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
        return FALSE;
    }

    LRESULT OnCustomDraw(int idCtrl, LPNMHDR header, BOOL& bHandled)
    {
        T* self = static_cast<T*>(this);
        auto* draw = reinterpret_cast<LPNMCUSTOMDRAW>(header);
        switch (draw->dwDrawStage) {
        case CDDS_PREPAINT:
            return self->OnPrePaint(idCtrl, draw);
        case CDDS_POSTPAINT:
            return self->OnPostPaint(idCtrl, draw);
        case CDDS_PREERASE:
            return self->OnPreErase(idCtrl, draw);
        case CDDS_POSTERASE:
            return self->OnPostErase(idCtrl, draw);
        case CDDS_ITEMPREPAINT:
            return self->OnItemPrePaint(idCtrl, draw);
        case CDDS_ITEMPOSTPAINT:
            return self->OnItemPostPaint(idCtrl, draw);
        case CDDS_ITEMPREERASE:
            return self->OnItemPreErase(idCtrl, draw);
        case CDDS_ITEMPOSTERASE:
            return self->OnItemPostErase(idCtrl, draw);
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            return self->OnSubItemPrePaint(idCtrl, draw);
        default:
            bHandled = FALSE;
            return CDRF_DODEFAULT;
        }
    }

    DWORD OnPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnPostPaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnPreErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnPostErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnItemPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnItemPostPaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnItemPreErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnItemPostErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
    DWORD OnSubItemPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }

protected:
    ~CCustomDraw() = default;
};
