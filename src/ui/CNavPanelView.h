#pragma once

#include "win/CDpi.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/themed/CFadeStateButtonCtrl.h"
#include "win/CBitmap.h"
#include "win/CDC.h"
#include "win/CDoubleBufferImpl.h"
#include "win/CWindowImpl.h"

// The strip along the bottom of the settings window with the round
// navigation buttons. It passes their clicks on to the notify window and
// shows a light sweeping across once an apply went through.
class CNavPanelView : public CWindowImpl<CNavPanelView>,
                      public CDoubleBufferImpl<CNavPanelView> {
public:
    DECLARE_WND_CLASS_EX(L"WTL_NavPanel", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), 0)

    static constexpr DWORD kDefaultStyle =
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

    // One navigation button, as the frame describes it.
    struct ButtonEntry {
        int commandId;  // the button's control id and the command it sends
        DWORD styleFlags;
        UINT imageId;    // PNG with the button's four frames
        UINT toolTipId;  // string-table id of the tool-tip text
        int x;           // from the centre strip's top-left corner
        int y;
    };

    // Images, in the order SetImages takes them.
    enum ImageSlot { kLeftCap, kRightCap, kCentreSeat, kMiddleStrip, kSweepLight, kImageCount };

    CNavPanelView() = default;
    ~CNavPanelView();
    CNavPanelView(const CNavPanelView&) = delete;
    CNavPanelView& operator=(const CNavPanelView&) = delete;

    HWND Create(HWND parent, DWORD style = kDefaultStyle, DWORD exStyle = WS_EX_CONTROLPARENT);

    // The sizes the panel draws at, given for 96 DPI; set before the images,
    // the buttons and the window, which are made at it.
    void SetDpi(CDpi dpi) { m_dpi = dpi; }
    void SetHalfWidth(int halfWidth);
    void SetImages(UINT leftCap, UINT rightCap, UINT centreSeat, UINT middleStrip,
                   UINT sweepLight);
    // Where the button commands go; the parent unless set before creation.
    void SetNotifyWindow(HWND notify) { m_notify = notify; }
    // Replaces the table, and on a created panel the buttons made from it.
    void SetButtons(const ButtonEntry* entries, int count);
    // nullptr when no button has that command.
    CFadeStateButtonCtrl* GetButton(int commandId) const;

    void StartSweep(double seconds);
    bool IsSweeping() const { return m_sweepDuration != 0; }

    // The arithmetic the layout and the painting are made of.
    // halfWidth is for 96 DPI, like the strip's own sizes.
    static RECT CentreStrip(const RECT& client, int halfWidth, CDpi dpi = CDpi());
    // Where the sweep light stands: 0 at the start, width and more at the end.
    static double SweepX(DWORD now, DWORD start, DWORD duration, int width);
    // Whole milliseconds; nothing for a time that is not a positive number.
    static DWORD SweepMilliseconds(double seconds);

    void DoPaint(CDCHandle dc);

    BEGIN_MSG_MAP(CNavPanelView)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MSG_WM_SIZE(OnSize)
        MSG_WM_TIMER(OnTimer)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        CHAIN_MSG_MAP(CDoubleBufferImpl<CNavPanelView>)
    END_MSG_MAP()

private:
    struct Button {
        ButtonEntry entry;
        CBitmap image;  // before the control, so it outlives the button showing it
        std::unique_ptr<CFadeStateButtonCtrl> control;
    };

    static constexpr UINT_PTR kSweepTimer = 210;
    static constexpr UINT kSweepTimerPeriod = 20;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    void OnSize(UINT, SIZE) { LayOutButtons(); }
    void OnTimer(UINT_PTR timerId);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);

    void CreateButtons();
    void CreateButton(Button& button);
    void DestroyButtons();
    void LayOutButtons();
    // A button's top-left corner: its table offset from the strip, scaled.
    POINT PlaceOf(const Button& button, const RECT& strip) const;
    RECT Strip() const;

    void PaintImage(CDCHandle dc, ImageSlot slot, const RECT& dest, bool stretch);
    void PaintSweep(CDCHandle dc, const RECT& client);
    void EndSweep();

    std::vector<Button> m_buttons;
    CBitmap m_images[kImageCount];
    HWND m_notify = nullptr;
    int m_halfWidth = 210;
    CDpi m_dpi;
    DWORD m_sweepDuration = 0;
    DWORD m_sweepStart = 0;
};
