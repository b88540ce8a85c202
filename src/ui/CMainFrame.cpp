#include "CMainFrame.h"

#include <HookLib.h>

#include "../core/CMyAppModule.h"
#include "../core/ThreadMessages.h"
#include "../win/CMessageLoop.h"

namespace {
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

HICON LoadIconSized(int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(g_module.GetModuleInstance(),
                                         MAKEINTRESOURCEW(IDI_QUILLOW), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}
}

bool CMainFrame::CreateHidden()
{
    // Created without WS_VISIBLE: the frame stays hidden until asked for.
    return Create(nullptr, nullptr, g_module.m_fullName, kFrameStyle, kFrameExStyle) != nullptr;
}

BOOL CMainFrame::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CMainFrame::OnIdle() { return FALSE; }

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CMessageLoop* loop = g_module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    SetIcons();
    ApplyDefaultTriggers();
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
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

void CMainFrame::SetIcons()
{
    m_largeIcon = LoadIconSized(SM_CXICON, SM_CYICON);
    m_smallIcon = LoadIconSized(SM_CXSMICON, SM_CYSMICON);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void CMainFrame::ApplyDefaultTriggers()
{
    // The stored settings are not read yet: the triggers take their first-run
    // values, middle button and both buttons on, no switch hot key.
    SetMiddleButton(1);
    SetDoubleButton(1);
    SetKeyCode(0, 0, 0, 0);
}
