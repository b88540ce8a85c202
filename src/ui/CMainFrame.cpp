#include "CMainFrame.h"

#include <shellapi.h>

#include <HookLib.h>

#include "../core/CMyAppModule.h"
#include "../core/ThreadMessages.h"
#include "../update/CUpdatePrompt.h"
#include "../win/CMessageLoop.h"
#include "themed/CImageLoader.h"

namespace {
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kFixedSizeStyles = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT_PTR kUpdateTimer = 188;
constexpr UINT kUpdateTimerPeriod = 3 * 60 * 60 * 1000;

HICON LoadIconSized(int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(g_module.GetModuleInstance(),
                                         MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}
}

CMainFrame::CMainFrame()
    : m_store(g_module.m_settingsKey), m_applier(m_settings, g_module, *this, m_pages)
{
}

CMainFrame::~CMainFrame()
{
    if (m_background)
        DeleteObject(m_background);
}

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
    m_store.Key().WriteDword(L"UPDATE_SHOWED", 0);
}

BOOL CMainFrame::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CMainFrame::OnIdle() { return FALSE; }

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_trayIconShown = false;
    m_background = CImageLoader::LoadPng(IDB_FRAME_BACKGROUND);
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
    ModifyStyle(kFixedSizeStyles, 0);
    FixSize();
    CenterOnScreen();
    ::SetTimer(m_hWnd, kUpdateTimer, kUpdateTimerPeriod, nullptr);
    return 0;
}

void CMainFrame::FixSize()
{
    const LONG baseUnits = GetDialogBaseUnits();
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
    if (!m_background) {
        handled = FALSE;
        return 0;
    }
    HDC target = reinterpret_cast<HDC>(wParam);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    BITMAP image{};
    GetObjectW(m_background, sizeof(image), &image);
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(source, m_background);
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, image.bmWidth,
               image.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
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

LRESULT CMainFrame::OnTimer(UINT, WPARAM timerId, LPARAM, BOOL& handled)
{
    if (timerId != kUpdateTimer) {
        handled = FALSE;
        return 0;
    }
    PostThreadMessageW(g_module.m_updateCheckThreadId, WM_UPDATE_CHECK, 0, 0);
    return 0;
}

void CMainFrame::ShowSettingsWindow()
{
    if (!::IsWindowVisible(m_hWnd))
        ShowWindow(SW_SHOW);
    if (IsIconic(m_hWnd))
        ShowWindow(SW_RESTORE);
    else
        ::BringWindowToTop(m_hWnd);
    SetForegroundWindow(m_hWnd);
    CenterOnScreen();
    // Last, so a stored announcement is asked about over the shown frame.
    CUpdatePrompt().Run(m_hWnd);
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

void CMainFrame::SaveAndEnd()
{
    m_store.Save(m_settings, g_module.m_switchPassword.Get()->c_str(),
                 g_module.m_restorePassword.Get()->c_str(),
                 [this] { m_applier.Autostart(m_settings.SS_STARTUP); });
    DestroyWindow();
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
    return RegisterHotKey(m_hWnd, m_hotKeyAtom, modifiers, key) != FALSE;
}

void CMainFrame::UnregisterSettingsHotKey()
{
    UnregisterHotKey(m_hWnd, m_hotKeyAtom);
}
