#pragma once

#include <windows.h>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CBitmap.h"
#include "win/CStatic.h"
#include "win/CWindowImpl.h"

// A picture with per-pixel alpha, stretched over its whole client area on
// top of the background behind it.
class CThemedImageCtrl : public CWindowImpl<CThemedImageCtrl, CStatic> {
public:
    DECLARE_WND_SUPERCLASS(L"WTL_ThemedImage", CStatic::GetWndClassName())

    CThemedImageCtrl() = default;
    CThemedImageCtrl(const CThemedImageCtrl&) = delete;
    CThemedImageCtrl& operator=(const CThemedImageCtrl&) = delete;

    BOOL SubclassWindow(HWND hwnd);
    void SetBackgroundSource(HWND source);
    // Replaces the image; one that cannot be loaded leaves none.
    void SetImage(UINT id, const wchar_t* type = L"PNG");
    // Makes the client area the image's size; nothing without an image.
    void SizeToImage();

    HBITMAP Image() const { return m_image; }
    HWND BackgroundSource() const { return m_background.Source(); }
    bool HasBackgroundBrush() const { return m_background.IsCaptured(); }

    BEGIN_MSG_MAP(CThemedImageCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MSG_WM_PAINT(OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    void OnPaint(HDC);
    LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled);

    void Init();
    void Draw(HDC dc);

    CBackgroundBrush m_background;
    CBitmap m_image;
};
