#pragma once

#include <windows.h>

#include <string>

#include "res/resource.h"
#include "win/CWindowImpl.h"

// An edit box with a small browse button inside its border, at the right.
// The button lives in the non-client area, so the text never runs under
// it; a click on it sends the parent WM_EDIT_BROWSE with the box's handle,
// and so do F4 and Alt+Down in the box, the keys that open a combo box.
class CEditBrowserCtrl : public CWindowImpl<CEditBrowserCtrl> {
public:
    enum class Look { kNormal, kPressed, kDisabled };

    static constexpr int kDefaultButtonWidth = 16;
    // A configured width of this value follows the box's height instead.
    static constexpr int kWidthFromHeight = -1;

    explicit CEditBrowserCtrl(int buttonWidth = kDefaultButtonWidth) : m_buttonWidth(buttonWidth)
    {
    }
    ~CEditBrowserCtrl();
    CEditBrowserCtrl(const CEditBrowserCtrl&) = delete;
    CEditBrowserCtrl& operator=(const CEditBrowserCtrl&) = delete;

    // Attaches to a dialog's edit box and has its frame computed again, so
    // the button takes its place at once.
    BOOL SubclassWindow(HWND hwnd);
    // What the button does, shown while the mouse rests on it.
    void SetButtonToolTip(const wchar_t* text);
    HWND ButtonToolTip() const { return m_toolTip; }

    // In window coordinates (0, 0 is the window's top-left corner).
    const RECT& ButtonRect() const { return m_button; }
    bool IsPressed() const { return m_pressed; }

    struct FrameLayout {
        RECT client;  // what the edit keeps for its text
        RECT button;  // in window coordinates
    };
    // Takes the button off the right of the client rectangle the edit's
    // default handling proposed. Both rectangles are in the same
    // coordinates; the button comes back relative to the window's corner
    // and reaches one pixel into the border above, right and below.
    static FrameLayout LayOutFrame(const RECT& window, const RECT& client, int buttonWidth);
    static int ButtonWidthFor(int configured, int clientHeight);
    // The arrow's corners inside a button of this size, at (0, 0).
    static void ArrowPoints(int width, int height, POINT (&corners)[3]);
    // F4, or Alt with Down or Up (which arrive as system keys).
    static bool OpensChooser(UINT message, UINT key);

    BEGIN_MSG_MAP(CEditBrowserCtrl)
        MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
        MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
        MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNcLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCaptureChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnEnable(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);

    void Browse();
    // The button's place in client coordinates, where the tool tip measures.
    RECT ButtonInClient() const;
    void PlaceToolTip();
    void DestroyToolTip();
    bool IsOverButton(POINT screen) const;
    Look CurrentLook() const;
    void DrawButton(Look look);
    static void PaintFace(HDC dc, int width, int height, Look look);

    HWND m_owner = nullptr;
    int m_buttonWidth;
    RECT m_button{};
    bool m_pressed = false;
    HWND m_toolTip = nullptr;
    std::wstring m_toolTipText;
};
