#include "CHookThread.h"

#include "CInputHook.h"

namespace {
// The hook thread only unhooks, changes its desktop and hooks again, which
// takes microseconds; the bound keeps a caller from waiting forever should
// the system ever refuse to run the thread.
constexpr DWORD kAnswerWait = 2000;
}

void CHookThread::Install(DWORD targetThread, HDESK desktop)
{
    AcquireSRWLockExclusive(&m_lock);
    // Without a thread of its own the hook falls back to the caller's
    // thread: watched input beats none.
    if (EnsureStarted())
        Ask(kInstall, targetThread, desktop);
    else
        m_hook.Install(targetThread, desktop);
    ReleaseSRWLockExclusive(&m_lock);
}

void CHookThread::Remove(DWORD targetThread)
{
    AcquireSRWLockExclusive(&m_lock);
    if (EnsureStarted())
        Ask(kRemove, targetThread, nullptr);
    else
        m_hook.Remove(targetThread);
    ReleaseSRWLockExclusive(&m_lock);
}

bool CHookThread::EnsureStarted()
{
    if (m_startTried)
        return m_threadId != 0;
    m_startTried = true;
    m_answered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_answered)
        return false;
    // The thread runs code of this DLL until the process ends, so the DLL
    // must stay loaded as long.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&CHookThread::ThreadProc), &self);
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &threadId);
    if (!thread)
        return false;
    CloseHandle(thread);
    // Ready once its queue exists, so that no request posted to it is lost.
    if (WaitForSingleObject(m_answered, kAnswerWait) != WAIT_OBJECT_0)
        return false;
    m_threadId = threadId;
    return true;
}

void CHookThread::Ask(Request request, DWORD targetThread, HDESK desktop)
{
    if (PostThreadMessageW(m_threadId, request, targetThread, reinterpret_cast<LPARAM>(desktop)))
        WaitForAnswer(++m_lastAsked);
}

void CHookThread::WaitForAnswer(LONG request)
{
    // The event may still carry the answer to an earlier request that ran
    // past its wait; the number tells which request was served.
    const DWORD start = GetTickCount();
    while (m_lastServed.load() < request) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kAnswerWait || WaitForSingleObject(m_answered, kAnswerWait - spent) != WAIT_OBJECT_0)
            return;
    }
}

DWORD WINAPI CHookThread::ThreadProc(void* self)
{
    static_cast<CHookThread*>(self)->Run();
    return 0;
}

void CHookThread::Run()
{
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(m_answered);
    // GetMessageW also calls the hooks: Windows hands each input event to
    // this thread while it waits here.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        Serve(msg);
}

void CHookThread::Serve(const MSG& msg)
{
    if (msg.message != kInstall && msg.message != kRemove)
        return;
    const auto targetThread = static_cast<DWORD>(msg.wParam);
    if (msg.message == kInstall)
        m_hook.Install(targetThread, reinterpret_cast<HDESK>(msg.lParam));
    else
        m_hook.Remove(targetThread);
    m_lastServed.fetch_add(1);
    SetEvent(m_answered);
}
