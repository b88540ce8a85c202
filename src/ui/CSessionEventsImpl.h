#pragma once

#include <windows.h>
#include <wtsapi32.h>

#include "app/CMyAppModule.h"
#include "app/CReturnToOriginal.h"
#include "app/ThreadMessages.h"
#include "base/CTrace.h"

// What the session does to a window T that must outlive it gracefully:
// - Sign-out and shut-down: the original desktop is shown again and the
//   task-manager policy taken back, with no password (the session is ending),
//   and T saves every setting, all within the time Windows gives.
// - An unlocked session, a display change or a resume from sleep may have
//   cost the low-level hooks: the switcher puts them in place again. Never
//   on a timer.
// T provides SaveSettings().
template <class T>
class CSessionEventsImpl {
public:
    virtual ~CSessionEventsImpl() = default;

    // Called by T once it has a window, and as it goes.
    void WatchSession(HWND window)
    {
        m_watching = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
        if (!m_watching)
            CTrace::LastError(L"WTSRegisterSessionNotification",
                              L"an unlock will not put the hooks back");
    }
    void StopWatchingSession(HWND window)
    {
        if (m_watching)
            WTSUnRegisterSessionNotification(window);
        m_watching = false;
    }

    // Chained from T's message map.
    BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult,
                              DWORD = 0)
    {
        switch (uMsg) {
        case WM_QUERYENDSESSION:
            // Saved now as well: Windows may end us without WM_ENDSESSION
            // when another program cancels and the user forces the end.
            static_cast<T*>(this)->SaveSettings();
            lResult = TRUE;
            return TRUE;
        case WM_ENDSESSION:
            if (wParam)
                OnSessionEnding();
            lResult = 0;
            return TRUE;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_SESSION_UNLOCK)
                ReinstallHooks();
            return FALSE;
        case WM_DISPLAYCHANGE:
            ReinstallHooks();
            return FALSE;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                ReinstallHooks();
            return FALSE;
        }
        return FALSE;
    }

private:
    // Windows waits about five seconds for an answer before it ends us.
    static constexpr DWORD kSwitcherWait = 2000;

    void OnSessionEnding()
    {
        CReturnToOriginal::Ask(kSessionEnding, kSwitcherWait);
        static_cast<T*>(this)->SaveSettings();
    }

    static void ReinstallHooks()
    {
        PostThreadMessageW(g_module.m_switcherThreadId, WM_REINSTALL_HOOKS, 0, 0);
    }

    bool m_watching = false;
};
