#pragma once

#include <windows.h>

#include "../actions/CActionRunner.h"
#include "CDesktopSwitcher.h"
#include "CPrivateShell.h"
#include "CWatchedActions.h"
#include "ISwitchPort.h"

// The switcher thread: owns the private desktop, its shell, the input hook
// and every switch. Nothing of it is shared with other threads.
class CSwitcherThread : private ISwitchPort {
public:
    static DWORD WINAPI ThreadProc(void* unused);

private:
    CSwitcherThread();
    DWORD Run();
    bool Prepare();
    void Stop();

    void RequestPassword(Desktop shown) override;
    void RunBeforeEntering() override;
    void RemoveHook() override;
    void ShowDesktop(Desktop desktop) override;
    void InstallHook() override;
    void RunAfterEntering() override;
    void RunAfterLeaving() override;

    HDESK m_desktops[2] = {};
    DWORD m_ownThreadId;
    CPrivateShell m_shell;
    CWatchedActions m_actions;
    CActionRunner m_runner;
    CDesktopSwitcher m_switcher;
};
