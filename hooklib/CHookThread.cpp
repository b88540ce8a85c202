#include "CHookThread.h"

#include "base/CTrace.h"

namespace {
// The hook thread only unhooks, changes its desktop and hooks again, which
// takes microseconds; the bound keeps a caller from waiting forever should
// the system ever refuse to run the thread.
constexpr DWORD kAnswerWait = 2000;

bool SameDesktop(HDESK a, HDESK b)
{
    // Two handles may name one desktop: compare what they name.
    wchar_t nameA[64] = {}, nameB[64] = {};
    return a && b &&
           GetUserObjectInformationW(a, UOI_NAME, nameA, sizeof(nameA) - sizeof(wchar_t),
                                     nullptr) &&
           GetUserObjectInformationW(b, UOI_NAME, nameB, sizeof(nameB) - sizeof(wchar_t),
                                     nullptr) &&
           CompareStringOrdinal(nameA, -1, nameB, -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

bool CHookThread::Install(HDESK desktop)
{
    AcquireSRWLockExclusive(&m_lock);
    const bool inPlace = (EnsureStarted() && Ask(kInstall, desktop)) ? m_lastInPlace.load()
                                                                      : InstallOnCaller(desktop);
    ReleaseSRWLockExclusive(&m_lock);
    return inPlace;
}

void CHookThread::Remove()
{
    AcquireSRWLockExclusive(&m_lock);
    if (!EnsureStarted() || !Ask(kRemove, nullptr))
        m_hook.Remove(m_desktop);
    ReleaseSRWLockExclusive(&m_lock);
}

bool CHookThread::InstallOnCaller(HDESK desktop)
{
    // Watched input beats none, but only where the caller is: its desktop
    // cannot change while a hook of its own is on it.
    if (!SameDesktop(GetThreadDesktop(GetCurrentThreadId()), desktop))
        return false;
    return m_hook.Install(m_desktop, nullptr);
}

bool CHookThread::EnsureStarted()
{
    if (m_ready.load())
        return true;
    if (!m_answered)
        m_answered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_answered)
        return false;
    if (!m_thread) {
        // The thread runs code of this DLL until the process ends, so the
        // DLL must stay loaded as long.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&CHookThread::ThreadProc), &self);
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId);
        if (!m_thread) {
            CTrace::LastError(L"CreateThread", L"the hook thread; hooks stay with the caller");
            return false;  // tried again at the next request
        }
    }
    // A thread slow to start is waited for again at the next request.
    WaitForSingleObject(m_answered, kAnswerWait);
    return m_ready.load();
}

bool CHookThread::Ask(Request request, HDESK desktop)
{
    const LONG number = ++m_lastAsked;
    m_open.store(number);
    if (!PostThreadMessageW(m_threadId, request, static_cast<WPARAM>(number),
                            reinterpret_cast<LPARAM>(desktop))) {
        m_open.store(0);
        return false;
    }
    if (WaitForServed(number))
        return true;
    LONG open = number;
    if (m_open.compare_exchange_strong(open, 0))
        return false;  // withdrawn: the hook thread will pass it by
    // Taken just as the wait ran out: it is being served now.
    return WaitForServed(number);
}

bool CHookThread::WaitForServed(LONG request)
{
    // The event may still carry the answer to an earlier request that ran
    // past its wait; the number tells which request was served.
    const DWORD start = GetTickCount();
    while (m_lastServed.load() < request) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kAnswerWait ||
            WaitForSingleObject(m_answered, kAnswerWait - spent) != WAIT_OBJECT_0)
            return m_lastServed.load() >= request;
    }
    return true;
}

DWORD WINAPI CHookThread::ThreadProc(void* self)
{
    static_cast<CHookThread*>(self)->Run();
    return 0;
}

void CHookThread::Run()
{
    // It only pumps, so the highest priority costs nothing, and it keeps the
    // hooks answered within the system's timeout on a loaded machine.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    m_ready.store(true);
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
    const auto number = static_cast<LONG>(msg.wParam);
    LONG open = number;
    if (!m_open.compare_exchange_strong(open, -number))
        return;  // given up on, and served by the caller instead
    if (msg.message == kInstall)
        m_lastInPlace.store(m_hook.Install(m_desktop, reinterpret_cast<HDESK>(msg.lParam)));
    else
        m_hook.Remove(m_desktop);
    m_lastServed.store(number);
    SetEvent(m_answered);
}
