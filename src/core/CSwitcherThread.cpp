#include "CSwitcherThread.h"

#include <HookLib.h>

#include "CCrashGuard.h"
#include "CDetachedMessageBox.h"
#include "CMyAppModule.h"
#include "CWatchdog.h"
#include "ThreadMessages.h"

namespace {
bool IsSet(const CSnapshot<CFixedText<16>>& password) { return !password.Get()->empty(); }
}

DWORD WINAPI CSwitcherThread::ThreadProc(void*)
{
    CSwitcherThread thread;
    return thread.Run();
}

CSwitcherThread::CSwitcherThread()
    : m_ownThreadId(GetCurrentThreadId()),
      m_actions(g_module.m_windowsDirectory.c_str()),
      m_runner(g_module, m_actions),
      m_switcher(*this)
{
}

DWORD CSwitcherThread::Run()
{
    if (!Prepare())
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_SWITCH_REQUEST) {
            m_switcher.OnSwitchRequest(msg.lParam, IsSet(g_module.m_switchPassword),
                                       IsSet(g_module.m_restorePassword));
        } else if (msg.message == WM_STOP_THREAD) {
            Stop();
            break;
        }
    }
    return 1;
}

bool CSwitcherThread::Prepare()
{
    m_desktops[kOriginal] = GetThreadDesktop(g_module.GetMainThreadId());
    // Opens the desktop when a password thread or another Quillow made it first.
    m_desktops[kPrivate] = CreateDesktopW(g_module.m_desktopName, nullptr, nullptr,
                                          DF_ALLOWOTHERACCOUNTHOOK, GENERIC_ALL, nullptr);
    CCrashGuard::Instance().SetOriginalDesktop(m_desktops[kOriginal]);
    InstallInputHook(m_ownThreadId);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_SWITCH_REQUEST, WM_SWITCH_REQUEST, PM_NOREMOVE);

    // Started long before the first switch, so the private desktop is ready
    // the moment the user goes there.
    if (m_shell.Start(g_module.m_windowsDirectory.c_str(), g_module.m_desktopName))
        return true;
    // Leave nothing behind: no hook watching input for a thread that is gone,
    // no desktop handle.
    UnInstallInputHook(m_ownThreadId);
    if (m_desktops[kPrivate])
        CloseDesktop(m_desktops[kPrivate]);
    // Told from a thread of its own, so the stop message still finds this
    // thread gone rather than stuck in the box's loop.
    CDetachedMessageBox::Show(L"Prepare for virtaul desktop failed", g_module.m_shortName, MB_OK);
    return false;
}

void CSwitcherThread::Stop()
{
    UnInstallInputHook(m_ownThreadId);
    // Ending the shell while it is shown would leave the user on an empty
    // desktop, so only a hidden private shell is ended.
    if (m_switcher.Shown() == kOriginal)
        m_shell.End(1);
    CloseDesktop(m_desktops[kPrivate]);
}

void CSwitcherThread::RequestPassword(Desktop shown)
{
    const DWORD passwordThread = shown == kOriginal ? g_module.m_switchPasswordThreadId.load()
                                                    : g_module.m_restorePasswordThreadId.load();
    PostThreadMessageW(passwordThread, WM_PASSWORD_REQUEST, 0, 0);
}

void CSwitcherThread::RunBeforeEntering() { m_runner.BeforeEntering(); }

void CSwitcherThread::RemoveHook() { UnInstallInputHook(m_ownThreadId); }

void CSwitcherThread::ShowDesktop(Desktop desktop)
{
    // The watchdog hears of the private desktop before it is shown and of the
    // original one after: a kill in between then makes it switch back to a
    // desktop already shown, never leave the user on the private one.
    if (desktop == kPrivate)
        CWatchdog::Instance().SetPrivateShown(true);
    SwitchDesktop(m_desktops[desktop]);
    CCrashGuard::Instance().SetPrivateShown(desktop == kPrivate);
    if (desktop == kOriginal)
        CWatchdog::Instance().SetPrivateShown(false);
    SetThreadDesktop(m_desktops[desktop]);
}

void CSwitcherThread::InstallHook() { InstallInputHook(m_ownThreadId); }

void CSwitcherThread::RunAfterEntering()
{
    m_runner.AfterEntering(g_module.m_desktopName, m_desktops[kOriginal]);
}

void CSwitcherThread::RunAfterLeaving() { m_runner.AfterLeaving(); }
