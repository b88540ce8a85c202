#include "CMainThread.h"

#include <initializer_list>

#include "CMyAppModule.h"
#include "CPasswordThread.h"
#include "CSwitcherThread.h"
#include "CUiThread.h"
#include "CUpdateCheckThread.h"
#include "ThreadMessages.h"

namespace {
// One time for all five together: long enough for the switcher to remove its
// hook and end its shell, and for the user-interface thread to tear its
// windows down; short enough that a thread held in a password prompt's modal
// loop, which never sees the stop message, keeps the process only this long.
constexpr DWORD kWorkerExitWait = 2000;
}

int CMainThread::Run()
{
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_SWITCH_REQUEST, WM_SWITCH_REQUEST, PM_NOREMOVE);
    StartWorkers();
    RelayUntilStop();
    WaitForWorkers();
    return 1;
}

void CMainThread::WaitForWorkers()
{
    HANDLE workers[kWorkerCount];
    DWORD count = 0;
    for (HANDLE& worker : m_workers) {
        if (worker)
            workers[count++] = worker;
        worker = nullptr;
    }
    if (count)
        WaitForMultipleObjects(count, workers, TRUE, kWorkerExitWait);
    for (DWORD i = 0; i < count; ++i)
        CloseHandle(workers[i]);
}

void CMainThread::StartWorkers()
{
    auto uiParams = new CUiThread::Params{GetCommandLineW(), SW_SHOWNORMAL};
    g_module.m_uiThreadId = StartThread(CUiThread::ThreadProc, uiParams,
                                        L"Cannot create ui thread!!!", &m_workers[0]);
    if (!g_module.m_uiThreadId)
        delete uiParams;  // the thread that would have freed it never ran
    g_module.m_switcherThreadId = StartThread(CSwitcherThread::ThreadProc, nullptr,
                                              L"Cannot create hook thread!!!", &m_workers[1]);
    g_module.m_switchPasswordThreadId = StartThread(CPasswordThread::SwitchPasswordProc, nullptr,
                                                    L"Cannot create Pwd1 thread!!!", &m_workers[2]);
    g_module.m_restorePasswordThreadId = StartThread(CPasswordThread::RestorePasswordProc,
                                                     nullptr, L"Cannot create Pwd2 thread!!!",
                                                     &m_workers[3]);
    g_module.m_updateCheckThreadId = StartThread(CUpdateCheckThread::ThreadProc, nullptr,
                                                 L"Cannot create check thread!!!", &m_workers[4]);
}

void CMainThread::RelayUntilStop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_SWITCH_REQUEST) {
            PostThreadMessageW(g_module.m_switcherThreadId, WM_SWITCH_REQUEST, 0,
                               kSwitchAskPassword);
        } else if (msg.message == WM_STOP_THREAD) {
            PostStopToWorkers();
            break;
        }
    }
}

void CMainThread::PostStopToWorkers()
{
    for (DWORD threadId : {g_module.m_switcherThreadId.load(), g_module.m_uiThreadId.load(),
                           g_module.m_switchPasswordThreadId.load(),
                           g_module.m_restorePasswordThreadId.load(),
                           g_module.m_updateCheckThreadId.load()})
        PostThreadMessageW(threadId, WM_STOP_THREAD, 0, 0);
}

DWORD CMainThread::StartThread(LPTHREAD_START_ROUTINE body, void* param,
                               const wchar_t* failureText, HANDLE* handle)
{
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, body, param, 0, &threadId);
    if (!thread) {
        MessageBoxW(nullptr, failureText, g_module.m_shortName, MB_OK);
        return 0;
    }
    if (handle)
        *handle = thread;
    else
        CloseHandle(thread);
    return threadId;
}
