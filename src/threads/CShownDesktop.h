#pragma once

#include <windows.h>

#include "threads/CCrashGuard.h"
#include "threads/CWatchdog.h"
#include "threads/ISwitchPort.h"

// Shows one of the two desktops and keeps the marks that say which one is
// shown, for the watchdog outside the process and the crash guard inside it.
// The marks follow what is really shown: a switch the system refused leaves
// them as they were.
class CShownDesktop {
public:
    using SwitchDesktopFn = BOOL(WINAPI*)(HDESK);

    CShownDesktop(CWatchdog& watchdog, CCrashGuard& crashGuard,
                  SwitchDesktopFn switchDesktop = DefaultSwitchDesktop())
        : m_watchdog(watchdog), m_crashGuard(crashGuard), m_switchDesktop(switchDesktop)
    {
    }

    void SetDesktops(HDESK original, HDESK privateDesktop);
    // False if the system would not show it; then nothing changed.
    bool Show(ISwitchPort::Desktop desktop);
    // Someone else showed the desktop: the marks follow.
    void Note(ISwitchPort::Desktop desktop);

    // The call Show makes. A test build of the program may replace it before
    // any switcher exists, to make a refusal that Wine never makes.
    static SwitchDesktopFn DefaultSwitchDesktop() { return s_default; }
    static void ReplaceDefaultSwitchDesktop(SwitchDesktopFn call) { s_default = call; }

private:
    static SwitchDesktopFn s_default;

    CWatchdog& m_watchdog;
    CCrashGuard& m_crashGuard;
    SwitchDesktopFn m_switchDesktop;
    HDESK m_desktops[2] = {};
};
