#pragma once

#include <windows.h>

#include <atomic>

#include "CInputHook.h"

// The thread that holds one desktop's low-level hooks. Windows calls a
// low-level hook through the message queue of the thread that installed it,
// so that thread must never wait on anything; this one does nothing but
// pump. Whatever the threads that use HookLib do, Sleep, process waits,
// broadcasts, shell calls, input keeps flowing.
class CHookThread {
public:
    CHookThread(CInputHook& hook, HookDesktop desktop) : m_hook(hook), m_desktop(desktop) {}

    // Both are called on the user's thread and return once the hook thread
    // has done the work, or after a bounded wait. A request the hook thread
    // does not answer is served on the caller's thread when the caller is on
    // that desktop, as a last resort; the next request asks the hook thread
    // again. Install answers whether the desktop's hooks are in place.
    bool Install(HDESK desktop);
    void Remove();

private:
    enum Request : UINT { kInstall = WM_APP, kRemove };

    bool EnsureStarted();
    bool Ask(Request request, HDESK desktop);
    bool WaitForServed(LONG request);
    bool InstallOnCaller(HDESK desktop);
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    void Serve(const MSG& msg);

    CInputHook& m_hook;
    const HookDesktop m_desktop;
    SRWLOCK m_lock = SRWLOCK_INIT;  // one request at a time
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
    std::atomic<bool> m_ready{false};  // its queue exists: nothing posted to it is lost
    HANDLE m_answered = nullptr;       // auto-reset: ready, or a request served
    LONG m_lastAsked = 0;              // only read and written under m_lock
    // The request the hook thread may still take; it marks one it takes by
    // negating it, and the caller withdraws one it gave up on by clearing it,
    // so a late answer never puts hooks beside those of the fallback.
    std::atomic<LONG> m_open{0};
    std::atomic<LONG> m_lastServed{0};
    std::atomic<bool> m_lastInPlace{false};
};
