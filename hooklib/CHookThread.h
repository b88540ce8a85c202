#pragma once

#include <windows.h>

#include <atomic>

class CInputHook;

// The thread that holds the low-level hooks. Windows calls a low-level hook
// through the message queue of the thread that installed it, so that thread
// must never wait on anything; this one does nothing but pump. Whatever the
// threads that use HookLib do, Sleep, process waits, broadcasts, shell calls,
// input keeps flowing.
class CHookThread {
public:
    explicit CHookThread(CInputHook& hook) : m_hook(hook) {}

    // Both are called on the user's thread and return once the hook thread
    // has done the work, or after a bounded wait. Should the thread not
    // start, the hook is held by the caller's thread, as a last resort.
    void Install(DWORD targetThread, HDESK desktop);
    void Remove(DWORD targetThread);

private:
    enum Request : UINT { kInstall = WM_APP, kRemove };

    bool EnsureStarted();
    void Ask(Request request, DWORD targetThread, HDESK desktop);
    void WaitForAnswer(LONG request);
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    void Serve(const MSG& msg);

    CInputHook& m_hook;
    SRWLOCK m_lock = SRWLOCK_INIT;  // one request at a time
    bool m_startTried = false;
    DWORD m_threadId = 0;
    HANDLE m_answered = nullptr;       // auto-reset: the hook thread has served a request
    LONG m_lastAsked = 0;              // only read and written under m_lock
    std::atomic<LONG> m_lastServed{0};
};
