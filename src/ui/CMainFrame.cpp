#include "ui/CMainFrame.h"

#include <shellapi.h>

#include <iterator>

#include <HookLib.h>

#include "app/CDesktopProgramWindows.h"
#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"
#include "base/CTrace.h"
#include "settings/CUnmatchablePassword.h"
#include "ui/CQuitDlg.h"
#include "win/CDetachedMessageBox.h"
#include "win/CMessageLoop.h"

namespace {
// The switcher shows a desktop in moments; the bound only keeps a stuck one
// from holding up the end.
constexpr DWORD kSwitcherAnswerWait = 2000;
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kFixedSizeStyles = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT_PTR kUpdateTimer = 188;
constexpr UINT kUpdateTimerPeriod = 3 * 60 * 60 * 1000;
constexpr DWORD kPanelStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kPanelHeight = 52;
constexpr SIZE kBaseUnitsAtStandardDpi{8, 16};
constexpr int kPanelHalfWidth = 170;
constexpr int kPageCount = 3;
constexpr double kApplySweepSeconds = 0.6;
// Every navigation button fades, paints the panel behind it and buffers.
constexpr DWORD kNavButtonStyle = 7;
const wchar_t kProgramsLeftQuestion[] =
    L"Programs are still open on the private desktop. Once Quillow has ended, that desktop "
    L"can no longer be shown, and anything unsaved there is lost.\n\n"
    L"Go to the private desktop now to close them?\n\n"
    L"Yes: go there; Quillow keeps running.\n"
    L"No: quit anyway.\n"
    L"Cancel: stay here; Quillow keeps running.";

// Creation order is tab order. Offsets are from the top-left corner of the
// panel's centre strip; the tool tips are the string-table entries that
// share the buttons' ids.
const CNavPanelView::ButtonEntry kNavButtons[] = {
    {ID_NAV_HOME, kNavButtonStyle, IDB_NAV_HOME, ID_NAV_HOME, 27, 4},
    {ID_NAV_HELP, kNavButtonStyle, IDB_NAV_HELP, ID_NAV_HELP, 57, 4},
    {ID_NAV_PREVIOUS, kNavButtonStyle, IDB_NAV_PREVIOUS, ID_NAV_PREVIOUS, 96, 4},
    {ID_NAV_APPLY, kNavButtonStyle, IDB_NAV_APPLY, ID_NAV_APPLY, 148, -8},
    {ID_NAV_NEXT, kNavButtonStyle, IDB_NAV_NEXT, ID_NAV_NEXT, 194, 4},
    {ID_NAV_HIDE, kNavButtonStyle, IDB_NAV_HIDE, ID_NAV_HIDE, 260, 4},
    {ID_NAV_QUIT, kNavButtonStyle, IDB_NAV_QUIT, ID_NAV_QUIT, 290, 4},
};

HICON LoadIconSized(int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(g_module.GetModuleInstance(),
                                         MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}
}

CMainFrame::CMainFrame()
    : m_store(g_module.m_settingsKey), m_applier(m_settings, g_module, *this, m_pages),
      m_applyCommand(m_settings, m_applier, m_store, g_module)
{
    m_pages.Attach(&m_basicPage, &m_advancedPage);
    // "Switch Desktop" heads the tray menu; a double click still opens the
    // settings, and "Preferences" is still the bold item.
    m_defaultItem = ID_TRAY_PREFERENCES;
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::CreateHidden()
{
    wchar_t title[64] = {};
    if (!LoadStringW(g_module.GetModuleInstance(), IDR_MAINFRAME, title, 64))
        lstrcpynW(title, g_module.m_fullName, 64);
    HMENU menu = LoadMenuW(g_module.GetModuleInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    // Created without WS_VISIBLE: the frame stays hidden until asked for.
    if (Create(nullptr, nullptr, title, kFrameStyle, kFrameExStyle, menu))
        return true;
    if (menu)
        DestroyMenu(menu);
    return false;
}

void CMainFrame::ResetUpdateShown()
{
    m_store.Key().WriteDword(CSettingsTable::Name(StoredValue::UPDATE_SHOWED), 0);
}

// The whole window is one dialog to the keyboard, as a property sheet is:
// Tab goes round the page, the buttons and the tab bar, not the page alone.
BOOL CMainFrame::PreTranslateMessage(MSG* msg)
{
    if (msg && !msg->hwnd && msg->message == WM_SAVE_AND_EXIT) {
        EndAtInstallersRequest();
        return TRUE;
    }
    if (!m_contentsBuilt || !msg || !(msg->hwnd == m_hWnd || IsOwnControl(msg->hwnd)))
        return FALSE;
    if (RunSettingsKey(*msg))
        return TRUE;
    ShowFocusCuesFor(*msg);
    return ::IsDialogMessageW(m_hWnd, msg);
}

bool CMainFrame::IsOwnControl(HWND window) const
{
    return window && window != m_hWnd && ::IsChild(m_hWnd, window);
}

bool CMainFrame::RunSettingsKey(const MSG& msg)
{
    HWND focus = ::GetFocus();
    const UINT focusCode =
        IsOwnControl(focus)
            ? static_cast<UINT>(::SendMessageW(focus, WM_GETDLGCODE, msg.wParam,
                                               reinterpret_cast<LPARAM>(&msg)))
            : 0;
    const CSettingsKeys::KeyPress press{msg.message,
                                        static_cast<UINT>(msg.wParam),
                                        (::GetKeyState(VK_CONTROL) & 0x8000) != 0,
                                        (::GetKeyState(VK_SHIFT) & 0x8000) != 0,
                                        (::GetKeyState(VK_MENU) & 0x8000) != 0,
                                        focusCode};
    switch (CSettingsKeys::Decide(press)) {
    case CSettingsKeys::Action::kNextPage:
        StepToPage(NextPage(m_currentPage));
        return true;
    case CSettingsKeys::Action::kPreviousPage:
        StepToPage(PreviousPage(m_currentPage));
        return true;
    case CSettingsKeys::Action::kApply:
        Apply();
        return true;
    case CSettingsKeys::Action::kPressFocused:
        // What a click on it sends; its parent passes it on as for a click.
        ::SendMessageW(::GetParent(focus), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(focus), BN_CLICKED),
                       reinterpret_cast<LPARAM>(focus));
        return true;
    case CSettingsKeys::Action::kHide:
        ShowWindow(SW_HIDE);
        return true;
    case CSettingsKeys::Action::kNone:
        break;
    }
    return false;
}

// As the dialog manager does: a key that moves the focus shows where it is,
// for every control of the window at once.
void CMainFrame::ShowFocusCuesFor(const MSG& msg)
{
    const CSettingsKeys::KeyPress press{msg.message, static_cast<UINT>(msg.wParam),
                                        (::GetKeyState(VK_CONTROL) & 0x8000) != 0, false,
                                        false, 0};
    if (CSettingsKeys::ShowsFocusCues(press))
        ::SendMessageW(m_hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

HWND CMainFrame::FirstControlOfPage() const
{
    HWND first = m_client ? ::GetNextDlgTabItem(m_client, nullptr, FALSE) : nullptr;
    if (first && IsOwnControl(first))
        return first;
    return m_tabBar.m_hWnd;
}

void CMainFrame::FocusControl(HWND control)
{
    if (!IsOwnControl(control))
        return;
    // As Tab does: the text of an edit box is selected, ready to be typed over.
    if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::SetFocus(control);
}

// A dialog gives the focus back to the control that had it; the frame, a
// plain window, must do so itself, or the keyboard would reach no control.
LRESULT CMainFrame::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        m_focusBeforeDeactivation = IsOwnControl(focus) ? focus : nullptr;
        handled = FALSE;
        return 0;
    }
    if (::IsIconic(m_hWnd) || !m_contentsBuilt) {
        handled = FALSE;
        return 0;
    }
    if (IsOwnControl(::GetFocus()))
        return 0;
    HWND last = m_focusBeforeDeactivation;
    const bool usable = IsOwnControl(last) && ::IsWindowVisible(last) && ::IsWindowEnabled(last);
    FocusControl(usable ? last : FirstControlOfPage());
    return 0;
}

void CMainFrame::OrderForTabbing()
{
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (m_tabBar.m_hWnd)
        ::SetWindowPos(m_tabBar.m_hWnd, HWND_TOP, 0, 0, 0, 0, kOrderOnly);
    for (const PageSlot& slot : m_pageSlots) {
        if (slot.window && m_tabBar.m_hWnd)
            ::SetWindowPos(slot.window, m_tabBar.m_hWnd, 0, 0, 0, 0, kOrderOnly);
    }
    if (m_navPanel.m_hWnd)
        ::SetWindowPos(m_navPanel.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, kOrderOnly);
}

BOOL CMainFrame::OnIdle() { return FALSE; }

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_trayIconShown = false;
    // The menu only serves the tray icon; the frame itself shows none.
    if (HMENU menu = GetMenu(m_hWnd)) {
        SetMenu(m_hWnd, nullptr);
        DestroyMenu(menu);
    }
    if (CMessageLoop* loop = g_module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    SetIcons();
    m_store.Load(m_settings);
    m_hotKeyAtom = GlobalAddAtomW(g_module.m_shortName);
    m_applier.ApplyAll();
    TellOfUnreadablePasswords();
    ModifyStyle(kFixedSizeStyles, 0);
    FixSize();
    ::SetTimer(m_hWnd, kUpdateTimer, kUpdateTimerPeriod, nullptr);
    WatchSession(m_hWnd);
    return 0;
}

// Once, at start. On a thread of its own: the frame is still being made,
// and the tray icon and the hot keys must not wait for the user's click. A
// box that cannot be shown changes nothing: the direction stays guarded.
void CMainFrame::TellOfUnreadablePasswords()
{
    if (const wchar_t* notice = CUnmatchablePassword::NoticeFor(m_settings))
        CDetachedMessageBox::Show(notice, g_module.m_shortName, MB_OK);
}

// The art, the bars and the first page are made the first time the window is
// shown, not at start: a tray program that may never be opened should not
// hold decoded images, nor load the image decoder.
void CMainFrame::BuildContents(int firstPage)
{
    if (m_contentsBuilt)
        return;
    m_contentsBuilt = true;
    m_dpi = CDpi::OfWindow(m_hWnd);
    m_background.Load(IDB_FRAME_BACKGROUND);
    CreateNavPanel();
    CreateTabBar();
    OrderForTabbing();
    Layout(true);
    SwitchToPage(firstPage);
    if (firstPage != ID_PAGE_BASIC)
        m_tabBar.Select(firstPage - 1, true);
}

// The bars, the pages and their art are made again at the new DPI: their
// sizes, fonts and images are all chosen when they are made. A page's edits
// not yet applied go with it, as when the program is restarted.
void CMainFrame::DestroyContents()
{
    if (!m_contentsBuilt)
        return;
    m_contentsBuilt = false;
    for (PageSlot& slot : m_pageSlots) {
        if (slot.window)
            ::DestroyWindow(slot.window);
        slot.window = nullptr;
        slot.created = false;
    }
    m_client = nullptr;
    if (m_tabBar.IsWindow())
        m_tabBar.DestroyWindow();
    if (m_navPanel.IsWindow())
        m_navPanel.DestroyWindow();
}

void CMainFrame::OnDpiChanged(UINT, UINT, const RECT* suggested)
{
    const int page = m_currentPage;
    DestroyContents();
    FixSize();
    if (suggested)
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    BuildContents(page >= 1 && page <= kPageCount ? page : ID_PAGE_BASIC);
    // The control that had the focus went with the old contents.
    if (::GetActiveWindow() == m_hWnd && !IsOwnControl(::GetFocus()))
        FocusControl(FirstControlOfPage());
}

void CMainFrame::CreateNavPanel()
{
    m_navPanel.SetDpi(m_dpi);
    m_navPanel.SetHalfWidth(kPanelHalfWidth);
    m_navPanel.SetImages(IDB_PANEL_CAP_LEFT, IDB_PANEL_CAP_RIGHT, IDB_PANEL_SEAT, IDB_PANEL_STRIP,
                         IDB_SWEEP_LIGHT);
    m_navPanel.SetButtons(kNavButtons, static_cast<int>(std::size(kNavButtons)));
    m_navPanel.SetNotifyWindow(m_hWnd);
    m_navPanel.Create(m_hWnd, kPanelStyle, WS_EX_CONTROLPARENT);
}

void CMainFrame::CreateTabBar()
{
    const CThemedTabBar::TabDescription tabs[] = {
        {ID_PAGE_BASIC, L"Basic Settings", 0},
        {ID_PAGE_ADVANCED, L"Advanced Settings", 0},
        {ID_PAGE_ABOUT, L"About", 0},
    };
    m_tabBar.SetDpi(m_dpi);
    m_tabBar.Create(m_hWnd, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    m_tabBar.AddTabs(tabs, static_cast<int>(std::size(tabs)));
}

void CMainFrame::Layout(bool withBars)
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    RECT bar{};
    if (m_tabBar.m_hWnd)
        ::GetWindowRect(m_tabBar.m_hWnd, &bar);
    RECT tabs = client;
    tabs.bottom = client.top + (bar.bottom - bar.top);
    if (withBars && m_tabBar.m_hWnd)
        ::SetWindowPos(m_tabBar.m_hWnd, nullptr, tabs.left, tabs.top, tabs.right - tabs.left,
                       tabs.bottom - tabs.top, SWP_NOACTIVATE | SWP_NOZORDER);
    client.top = tabs.bottom;
    const int panelHeight = m_dpi.Scale(kPanelHeight);
    RECT panel = client;
    panel.top = client.bottom - panelHeight;
    if (withBars && m_navPanel.m_hWnd)
        ::SetWindowPos(m_navPanel.m_hWnd, nullptr, panel.left, panel.top,
                       panel.right - panel.left, panel.bottom - panel.top, SWP_NOZORDER);
    client.bottom -= panelHeight;
    if (m_client)
        ::SetWindowPos(m_client, nullptr, client.left, client.top, client.right - client.left,
                       client.bottom - client.top, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CMainFrame::SwitchToPage(int page)
{
    if (page < 1 || page > kPageCount)
        return;
    // A focus on the page goes with it to the new one; one on the tab bar
    // or a button stays where it is.
    HWND focus = ::GetFocus();
    const bool focusOnPage = m_client && (focus == m_client || ::IsChild(m_client, focus));
    if (m_client)
        ::ShowWindow(m_client, SW_HIDE);
    PageSlot& slot = m_pageSlots[page - 1];
    if (!slot.created) {
        slot.created = true;
        slot.window = slot.page->CreatePage(m_hWnd, page, m_settings);
        OrderForTabbing();
    }
    m_client = slot.window;
    m_currentPage = page;
    if (m_client)
        ::ShowWindow(m_client, SW_SHOWNORMAL);
    Layout(false);
    if (focusOnPage)
        FocusControl(FirstControlOfPage());
}

int CMainFrame::PreviousPage(int page)
{
    switch (page) {
    case 1: return 3;
    case 2: return 1;
    case 3: return 2;
    default: return 1;
    }
}

int CMainFrame::NextPage(int page)
{
    switch (page) {
    case 1: return 2;
    case 2: return 3;
    case 3: return 1;
    default: return 1;
    }
}

// The tab bar follows the buttons here; a click on a tab moved it already.
void CMainFrame::StepToPage(int page)
{
    BuildContents();
    SwitchToPage(page);
    m_tabBar.Select(page - 1, true);
}

LRESULT CMainFrame::OnPreviousPage(WORD code, WORD, HWND, BOOL& handled)
{
    handled = code == 0;
    if (handled)
        StepToPage(PreviousPage(m_currentPage));
    return 0;
}

LRESULT CMainFrame::OnNextPage(WORD code, WORD, HWND, BOOL& handled)
{
    handled = code == 0;
    if (handled)
        StepToPage(NextPage(m_currentPage));
    return 0;
}

LRESULT CMainFrame::OnTabCommand(WORD, WORD id, HWND, BOOL&)
{
    SwitchToPage(id);
    return 0;
}

void CMainFrame::OnSize(UINT sizeType, SIZE)
{
    SetMsgHandled(FALSE);
    if (sizeType != SIZE_MINIMIZED)
        Layout(true);
}

// Pages never shown are not read: their settings stay as the record has them.
LRESULT CMainFrame::OnApply(WORD code, WORD, HWND, BOOL& handled)
{
    handled = code == 0;
    if (handled)
        Apply();
    return 0;
}

void CMainFrame::Apply()
{
    const bool basicShown = m_pageSlots[ID_PAGE_BASIC - 1].window != nullptr;
    const bool advancedShown = m_pageSlots[ID_PAGE_ADVANCED - 1].window != nullptr;
    if (m_applyCommand.Run(m_hWnd, basicShown ? &m_basicPage : nullptr,
                           advancedShown ? &m_advancedPage : nullptr))
        m_navPanel.StartSweep(kApplySweepSeconds);
}

LRESULT CMainFrame::OnQuit(WORD code, WORD, HWND, BOOL& handled)
{
    handled = code == 0;
    if (!handled)
        return 0;
    if (!CQuitDlg::IsSkipped(m_store.Key())) {
        CQuitDlg dialog(m_store.Key());
        if (dialog.DoModal(::GetActiveWindow()) != CQuitDlg::kQuit)
            return 0;
    }
    if (MayEndWithProgramsOnPrivateDesktop())
        SaveAndEnd();
    return 0;
}

bool CMainFrame::MayEndWithProgramsOnPrivateDesktop()
{
    if (!CDesktopProgramWindows::AnyOn(g_module.m_desktopName))
        return true;
    switch (::MessageBoxW(m_hWnd, kProgramsLeftQuestion, g_module.m_shortName,
                          MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON1)) {
    case IDYES:
        // The same request as any trigger's: the switch password, if one is
        // set, is asked first.
        PostThreadMessageW(g_module.GetMainThreadId(), WM_SWITCH_REQUEST, 0, kSwitchAskPassword);
        return false;
    case IDNO:
        return true;
    default:
        return false;
    }
}

void CMainFrame::FixSize()
{
    // 59 by 22 dialog base units. Those of the system font are 8 by 16 at
    // 96 DPI; at another DPI the frame is that size scaled to its own
    // monitor's DPI, which the system's base units do not follow.
    const CDpi dpi = CDpi::OfWindow(m_hWnd);
    const LONG baseUnits = dpi.IsStandard() && CDpi::OfSystem().IsStandard()
                               ? GetDialogBaseUnits()
                               : MAKELONG(dpi.Scale(kBaseUnitsAtStandardDpi.cx),
                                          dpi.Scale(kBaseUnitsAtStandardDpi.cy));
    m_minTrackSize = SIZE{LOWORD(baseUnits) * 59, HIWORD(baseUnits) * 22};
    RECT frame{0, 0, m_minTrackSize.cx, m_minTrackSize.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetStyle()), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::CenterOnScreen()
{
    RECT window{}, work{};
    ::GetWindowRect(m_hWnd, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    ::SetWindowPos(m_hWnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    SetTrayIconShown(false);
    StopWatchingSession(m_hWnd);
    ::KillTimer(m_hWnd, kUpdateTimer);
    m_applier.ReleaseSettingsHotKey();
    GlobalDeleteAtom(m_hotKeyAtom);
    PostThreadMessageW(g_module.GetMainThreadId(), WM_STOP_THREAD, 0, 0);
    if (CMessageLoop* loop = g_module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    DestroyIcon(m_largeIcon);
    DestroyIcon(m_smallIcon);
    PostQuitMessage(0);
    return 0;
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // Closing only hides the frame; the program goes on in the background.
    ShowWindow(SW_HIDE);
    return 0;
}

LRESULT CMainFrame::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    handled = m_background.Paint(reinterpret_cast<HDC>(wParam), client);
    return 1;
}

LRESULT CMainFrame::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = m_minTrackSize.cx;
    info->ptMinTrackSize.y = m_minTrackSize.cy;
    return 0;
}

LRESULT CMainFrame::OnHotKey(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowSettingsWindow();
    return 0;
}

void CMainFrame::OnTimer(UINT_PTR timerId)
{
    if (timerId != kUpdateTimer) {
        SetMsgHandled(FALSE);
        return;
    }
    PostThreadMessageW(g_module.m_updateCheckThreadId, WM_UPDATE_CHECK, 0, 0);
}

void CMainFrame::ShowSettingsWindow()
{
    BuildContents();
    if (!::IsWindowVisible(m_hWnd)) {
        // Shown anew, it starts at the first control of its page.
        m_focusBeforeDeactivation = nullptr;
        // Cues show when the window came up from the keyboard (its hot key)
        // and hide when it came from the mouse, unless the system always
        // shows them.
        ::SendMessageW(m_hWnd, WM_CHANGEUISTATE,
                       MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        ShowWindow(SW_SHOW);
    }
    if (IsIconic(m_hWnd))
        ShowWindow(SW_RESTORE);
    else
        ::BringWindowToTop(m_hWnd);
    SetForegroundWindow(m_hWnd);
    CenterOnScreen();
    // Last, so a stored announcement is asked about over the shown frame.
    m_updatePrompt.Run(m_hWnd);
}

// Asked through the main thread like any trigger, so the password of this
// direction is asked for first.
LRESULT CMainFrame::OnSwitchDesktop(WORD, WORD, HWND, BOOL&)
{
    PostThreadMessageW(g_module.GetMainThreadId(), WM_SWITCH_REQUEST, 0, kSwitchAskPassword);
    return 0;
}

LRESULT CMainFrame::OnPreferences(WORD, WORD, HWND, BOOL&)
{
    ShowSettingsWindow();
    return 0;
}

// The navigation buttons' commands count only as plain clicks; the tray
// menu's always do.
LRESULT CMainFrame::OnHelp(WORD code, WORD, HWND, BOOL& handled)
{
    return OpenWebPageOnClick(code, g_module.m_helpPage, handled);
}

LRESULT CMainFrame::OnHomePage(WORD code, WORD, HWND, BOOL& handled)
{
    return OpenWebPageOnClick(code, g_module.m_homePage, handled);
}

LRESULT CMainFrame::OpenWebPageOnClick(WORD code, const wchar_t* address, BOOL& handled)
{
    handled = code == 0;
    if (handled)
        OpenWebPage(address);
    return 0;
}

LRESULT CMainFrame::OnProducts(WORD, WORD, HWND, BOOL&)
{
    OpenWebPage(g_module.m_productsPage);
    return 0;
}

LRESULT CMainFrame::OnExit(WORD, WORD, HWND, BOOL&)
{
    if (MayEndWithProgramsOnPrivateDesktop())
        SaveAndEnd();
    return 0;
}

LRESULT CMainFrame::OnHide(WORD code, WORD, HWND, BOOL& handled)
{
    if (code != 0) {
        handled = FALSE;
        return 0;
    }
    ShowWindow(SW_HIDE);
    return 0;
}

void CMainFrame::SaveSettings()
{
    m_store.Save(m_settings, g_module.m_switchPassword.Get()->c_str(),
                 g_module.m_restorePassword.Get()->c_str(),
                 [this] { m_applier.Autostart(m_settings.SS_STARTUP); });
}

void CMainFrame::SaveAndEnd()
{
    SaveSettings();
    DestroyWindow();
}

void CMainFrame::EndAtInstallersRequest()
{
    // The request is repeated until Quillow has ended: only the first one
    // that reaches a live frame counts.
    if (!IsWindow())
        return;
    // The new Quillow that Setup starts must start where the user is, and
    // nothing may be left on a desktop that no Quillow can show any more.
    CReturnToOriginal::Ask(kQuillowEnding, kSwitcherAnswerWait);
    SaveAndEnd();
}

void CMainFrame::OpenWebPage(const wchar_t* address)
{
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void CMainFrame::SetIcons()
{
    m_largeIcon = LoadIconSized(SM_CXICON, SM_CYICON);
    m_smallIcon = LoadIconSized(SM_CXSMICON, SM_CYSMICON);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void CMainFrame::SetMiddleButton(int on) { ::SetMiddleButton(on); }

void CMainFrame::SetDoubleButton(int on) { ::SetDoubleButton(on); }

void CMainFrame::SetSwitchKey(int key, int shift, int ctrl, int alt)
{
    ::SetKeyCode(key, shift, ctrl, alt);
}

void CMainFrame::SetTrayIconShown(bool shown)
{
    if (shown == m_trayIconShown)
        return;
    m_trayIconShown = shown;
    if (shown)
        InstallIcon(L"Quillow!", m_smallIcon, IDR_MAINFRAME);
    else
        RemoveIcon();
}

bool CMainFrame::RegisterSettingsHotKey(UINT modifiers, UINT key)
{
    if (RegisterHotKey(m_hWnd, m_hotKeyAtom, modifiers, key))
        return true;
    CTrace::LastError(L"RegisterHotKey", L"the settings hot key");
    return false;
}

void CMainFrame::UnregisterSettingsHotKey()
{
    UnregisterHotKey(m_hWnd, m_hotKeyAtom);
}
