#include "CUpdateCheckThread.h"

#include "ThreadMessages.h"

DWORD WINAPI CUpdateCheckThread::ThreadProc(void*)
{
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_UPDATE_CHECK, WM_UPDATE_CHECK, PM_NOREMOVE);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_UPDATE_CHECK)
            OnUpdateCheckRequest();
        else if (msg.message == WM_STOP_THREAD)
            break;
    }
    return 1;
}

void CUpdateCheckThread::OnUpdateCheckRequest()
{
    // The query to the maker's server is not part of the program yet.
}
