#include "app/CReturnToOriginal.h"

#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"

bool CReturnToOriginal::Ask(WPARAM why, DWORD waitMs)
{
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done)
        return false;
    if (!PostThreadMessageW(g_module.m_switcherThreadId, WM_RETURN_TO_ORIGINAL, why,
                            reinterpret_cast<LPARAM>(done))) {
        CloseHandle(done);
        return false;
    }
    const bool answered = WaitServingSentMessages(done, waitMs);
    // A switcher that has not answered yet may still set the event: closing
    // it now would let that set whatever object gets the handle next. One
    // handle is the price of a late answer, at the end of the run.
    if (answered)
        CloseHandle(done);
    return answered;
}

bool CReturnToOriginal::WaitServingSentMessages(HANDLE event, DWORD waitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= waitMs)
            return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &event, waitMs - spent, QS_SENDMESSAGE, 0);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1)
            return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        // Peeking delivers the sent messages; nothing is taken off the queue.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
