#include "threads/CMainThread.h"

#include <initializer_list>

#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"
#include "base/CTrace.h"
#include "threads/CPasswordThread.h"
#include "threads/CSwitcherThread.h"
#include "threads/CUiThread.h"
#include "threads/CUpdateCheckThread.h"

namespace {
// One time for all five together: long enough for the switcher to remove its
// hook and end its shell, and for the user-interface thread to tear its
// windows down; short enough that a thread held in a password prompt's modal
// loop, which never sees the stop message, keeps the process only this long.
constexpr DWORD kWorkerExitWait = 2000;
// A modal loop on the user-interface thread (a message box, the quit
// dialog) drops thread messages, the exit request among them; asked again
// this often, the frame gets it as soon as the box is closed, while the
// installer still waits.
constexpr DWORD kExitRequestRepeat = 1000;
}

int CMainThread::Run()
{
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_SWITCH_REQUEST, WM_SWITCH_REQUEST, PM_NOREMOVE);
    // Before the workers, so that a request made while Quillow starts is
    // seen. Without the event Quillow still runs; only the installer's way
    // of ending it is then the older one, through the frame.
    m_exitRequest.Create();
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
    while (RelayWaiting()) {
    }
}

// Waits for a message or for the exit request, and handles what came; false
// once the loop is to end.
bool CMainThread::RelayWaiting()
{
    HANDLE event = m_exitRequest.Handle();
    // The event stays set until the installer resets it: while the request
    // is pending only the repeat time wakes us for it.
    const DWORD count = event && !m_exitPending ? 1 : 0;
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, count ? &event : nullptr,
                                                   m_exitPending ? kExitRequestRepeat : INFINITE,
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (count && woke == WAIT_OBJECT_0) {
        m_exitPending = true;
        return AskUserInterfaceToExit();
    }
    if (woke == WAIT_TIMEOUT)
        return RepeatExitRequest();
    MSG msg;
    if (woke == WAIT_FAILED) {
        // Never spin on a wait that cannot work: take the next message the
        // plain way, as the loop did before it had the event.
        return GetMessageW(&msg, nullptr, 0, 0) > 0 && Relay(msg);
    }
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || !Relay(msg))
            return false;
    }
    return true;
}

bool CMainThread::Relay(const MSG& msg)
{
    if (msg.message == WM_SWITCH_REQUEST) {
        PostThreadMessageW(g_module.m_switcherThreadId, WM_SWITCH_REQUEST, 0,
                           kSwitchAskPassword);
    } else if (msg.message == WM_STOP_THREAD) {
        PostStopToWorkers();
        return false;
    }
    return true;
}

// The repeat time of a pending request is over.
bool CMainThread::RepeatExitRequest()
{
    // An installer that gave up on us reset the event: it has told the user
    // that nothing was changed, so Quillow stays.
    if (!m_exitRequest.IsSet()) {
        m_exitPending = false;
        return true;
    }
    return AskUserInterfaceToExit();
}

bool CMainThread::AskUserInterfaceToExit()
{
    HANDLE ui = m_workers[0];
    if (!ui || WaitForSingleObject(ui, 0) == WAIT_OBJECT_0) {
        // No user interface, so no settings to save: end as the frame's
        // end would have ended us.
        PostStopToWorkers();
        return false;
    }
    // A thread that has no queue yet is asked again after the repeat time.
    PostThreadMessageW(g_module.m_uiThreadId, WM_SAVE_AND_EXIT, 0, 0);
    return true;
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
        CTrace::LastError(L"CreateThread", failureText);
        MessageBoxW(nullptr, failureText, g_module.m_shortName, MB_OK);
        return 0;
    }
    if (handle)
        *handle = thread;
    else
        CloseHandle(thread);
    return threadId;
}
