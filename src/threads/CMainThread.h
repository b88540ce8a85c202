#pragma once

#include <windows.h>

#include "app/CExitRequestEvent.h"

// The main thread: starts the five workers, then only relays messages and
// listens for the installer's exit request. It owns no window. Run returns
// once every worker has ended or the bounded wait for them is over,
// whichever comes first.
class CMainThread {
public:
    int Run();

private:
    void StartWorkers();
    void RelayUntilStop();
    // False once the loop is to end.
    bool Relay(const MSG& msg);
    bool RelayWaiting();
    bool RepeatExitRequest();
    bool AskUserInterfaceToExit();
    void WaitForWorkers();
    static void PostStopToWorkers();
    static DWORD StartThread(LPTHREAD_START_ROUTINE body, void* param, const wchar_t* failureText,
                             HANDLE* handle);

    static constexpr DWORD kWorkerCount = 5;
    // In start order: user interface, switcher, the two password threads,
    // update check; null for a thread that could not be made.
    HANDLE m_workers[kWorkerCount] = {};
    CExitRequestEvent m_exitRequest;
    // The installer's request has been passed on, and is passed on again
    // while it stands and the user-interface thread has not ended.
    bool m_exitPending = false;
};
