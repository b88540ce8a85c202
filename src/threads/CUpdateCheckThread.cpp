#include "threads/CUpdateCheckThread.h"

#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"
#include "update/CUpdateQuery.h"

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
    // A query of its own for each request: its matcher and registry object
    // are never those of another thread.
    CUpdateQuery query;
    query.Run(g_module.m_updateHost, g_module.m_updatePath, g_module.m_updateCheckOn);
}
