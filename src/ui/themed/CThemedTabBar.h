#pragma once

#include "win/CDpi.h"

#include <windows.h>

#include <vector>

#include "ui/themed/CBackgroundBrush.h"
#include "win/CBitmap.h"
#include "win/CDC.h"
#include "win/CFont.h"
#include "win/CWindowImpl.h"

class CTabBarAccessible;

// The row of tabs across the top of the settings window. A click on a tab
// sends the tab's command to the notify window first and only then moves the
// highlight, so the page behind it has switched by the time the tab lights.
// With the focus, the arrow keys do the same for the tab beside the selected
// one. Assistive tools read the tabs through the bar's own IAccessible.
class CThemedTabBar : public CWindowImpl<CThemedTabBar> {
public:
    DECLARE_WND_CLASS_EX(L"WTL_ThemedTabBar", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), 0)

    static constexpr DWORD kSelected = 0x08;
    static constexpr DWORD kHot = 0x40;
    static constexpr DWORD kSelectionFadeMs = 300;

    // What a caller gives for each tab.
    struct TabDescription {
        int id;  // the command a click sends; 0 sends none
        wchar_t text[100];
        int state;
    };

    CThemedTabBar() = default;
    ~CThemedTabBar();
    CThemedTabBar(const CThemedTabBar&) = delete;
    CThemedTabBar& operator=(const CThemedTabBar&) = delete;

    // Made with no width, for the frame to place; its height fits the tabs.
    HWND Create(HWND parent, DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                                           WS_CLIPCHILDREN);
    // Where the tab commands go; the parent unless set before creation.
    void SetNotifyWindow(HWND notify) { m_notify = notify; }

    // Appends the tabs after any already there and selects the first tab.
    // False when the bar has no window yet: labels are measured in its font.
    bool AddTabs(const TabDescription* tabs, int count);
    // With a fade the tab losing the selection fades out; without, the
    // highlight moves at once. False for an index that names no tab.
    BOOL Select(int index, bool fade);

    // What a click on the tab does: its command, then its highlight. The
    // keys and assistive tools select through here too.
    void ActivateTab(int index);

    int GetSelectedIndex() const { return m_selected; }
    // The label; empty for an index that names no tab.
    const wchar_t* GetTabText(int index) const;
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    RECT GetTabRect(int index) const;
    DWORD GetTabState(int index) const;
    bool IsTabFading(int index) const;
    int GetTabHeight() const { return m_tabHeight; }
    // The sizes the bar draws at, given for 96 DPI; set before Create.
    void SetDpi(CDpi dpi) { m_dpi = dpi; }

    // The arithmetic the painting and the layout are made of.
    static RECT LayoutTab(int x, SIZE text, int textHeight, CDpi dpi = CDpi());
    // 0 at the start of a fade up to 255 at its end and after it.
    static int FadeWeight(DWORD start, DWORD end, DWORD now);
    // Which fifth of the tab image shows a tab in this state.
    static int FrameOf(DWORD state);
    static bool FadeRuns(DWORD start, DWORD end) { return start != end; }

    BEGIN_MSG_MAP(CThemedTabBar)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MSG_WM_PAINT(OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
        MSG_WM_TIMER(OnTimer)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_MOVE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_SIZE, OnMoveOrSize)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        MESSAGE_HANDLER(WM_GETOBJECT, OnGetObject)
    END_MSG_MAP()

private:
    struct TabItem {
        int id = 0;
        wchar_t text[100] = {};
        DWORD state = 0;
        DWORD previousState = 0;
        RECT rect{};
        DWORD fadeStart = 0;
        DWORD fadeEnd = 0;
    };

    static constexpr UINT_PTR kFadeTimer = 42;
    static constexpr UINT kFadeTimerPeriod = 25;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    void OnPaint(HDC);
    LRESULT OnPrintClient(UINT, WPARAM, LPARAM, BOOL&);
    void OnTimer(UINT_PTR timerId);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTARROWS; }
    LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetObject(UINT, WPARAM, LPARAM, BOOL&);

    bool MakeLabelFont();
    void FitHeightToTabs();
    int TabAt(LPARAM point) const;
    // Sets flags on one tab (none for -1) and clears them on all others; a
    // tab whose most visible flag goes fades over fadeMs.
    void ChangeTabStates(int index, DWORD flags, DWORD fadeMs);
    void StartFade(TabItem& tab, DWORD now, DWORD fadeMs);
    void SendTabCommand(const TabItem& tab);

    void DoPaint(CDCHandle dc);
    void PaintBackground(CDCHandle dc, const RECT& client);
    void PaintBaseStrip(CDCHandle dc, const RECT& client);
    void PaintTab(CDCHandle dc, const TabItem& tab, DWORD now);
    void PaintTabFrame(CDCHandle dc, const RECT& rect, int frame, BYTE alpha);
    void PaintLabel(CDCHandle dc, const TabItem& tab);
    void PaintFocus(CDCHandle dc);
    // The tab a key moves the selection to, or -1 for none.
    int TabForKey(UINT key) const;
    void TellAssistiveTools(DWORD event, int index);
    void DisconnectAccessible();

    std::vector<TabItem> m_tabs;
    HWND m_notify = nullptr;
    int m_selected = -1;
    bool m_tracking = false;
    bool m_pressed = false;
    CFont m_font;
    TEXTMETRICW m_textMetrics{};
    int m_tabHeight = 0;
    CDpi m_dpi;
    CBackgroundBrush m_background;
    CBitmap m_baseStrip;
    CBitmap m_tabImage;
    // Made when a tool first asks; the bar holds one reference.
    CTabBarAccessible* m_accessible = nullptr;
};
