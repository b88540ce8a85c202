#pragma once

#include <windows.h>

// The main thread: starts the five workers, then only relays messages. It
// owns no window.
class CMainThread {
public:
    int Run();

private:
    void StartWorkers();
    void RelayUntilStop();
    void WaitForWorkers();
    static void PostStopToWorkers();
    static DWORD StartThread(LPTHREAD_START_ROUTINE body, void* param, const wchar_t* failureText,
                             HANDLE* handle = nullptr);

    HANDLE m_uiHandle = nullptr;
    HANDLE m_switcherHandle = nullptr;
};
