#pragma once

#include <windows.h>

// The main thread: starts the five workers, then only relays messages. It
// owns no window. Run returns once every worker has ended or the bounded
// wait for them is over, whichever comes first.
class CMainThread {
public:
    int Run();

private:
    void StartWorkers();
    void RelayUntilStop();
    void WaitForWorkers();
    static void PostStopToWorkers();
    static DWORD StartThread(LPTHREAD_START_ROUTINE body, void* param, const wchar_t* failureText,
                             HANDLE* handle);

    static constexpr DWORD kWorkerCount = 5;
    // In start order: user interface, switcher, the two password threads,
    // update check; null for a thread that could not be made.
    HANDLE m_workers[kWorkerCount] = {};
};
