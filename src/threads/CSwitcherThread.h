#pragma once

#include <windows.h>

#include "actions/CActionRunner.h"
#include "threads/CDesktopSwitcher.h"
#include "threads/CPrivateShell.h"
#include "threads/CShownDesktop.h"
#include "threads/CWatchedActions.h"
#include "threads/ISwitchPort.h"

// The switcher thread: owns the private desktop, its shell, the input hooks
// and every switch. Nothing of it is shared with other threads. It stays on
// the original desktop for good: the hooks watch each desktop from threads of
// their own, and the actions reach the private desktop by name.
class CSwitcherThread : private ISwitchPort {
public:
    static DWORD WINAPI ThreadProc(void* unused);

private:
    CSwitcherThread();
    DWORD Run();
    bool Prepare();
    bool PrepareFailed();
    void InstallHooks();
    void ReturnToOriginal(WPARAM why, HANDLE done);
    void Stop();

    LPARAM NewToken() override;
    void RequestPassword(Desktop shown, LPARAM token) override;
    bool Watching(Desktop desktop) override;
    bool RestorePromptReady() override;
    bool RestorePasswordUnmatchable() override;
    void TellRefusal(Refusal why) override;
    void RunBeforeEntering() override;
    void UndoBeforeEntering() override;
    bool ShowDesktop(Desktop desktop) override;
    void NoteShown(Desktop desktop) override;
    void RunAfterEntering() override;
    void RunAfterLeaving() override;

    HDESK m_desktops[2] = {};
    DWORD m_ownThreadId;
    DWORD m_watching = 0;  // what InstallInputHooks last answered
    bool m_toldUnwatched = false;
    CPrivateShell m_shell;
    CShownDesktop m_shownDesktop;
    CWatchedActions m_actions;
    CActionRunner m_runner;
    CDesktopSwitcher m_switcher;
};
