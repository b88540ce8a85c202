#pragma once

#include <windows.h>

// Asks the switcher thread to show the original desktop, asking no
// password, and to take back the task-manager policy, then waits for it a
// bounded time. For the ends that must leave nothing behind: the end of the
// session, and an exit the installer asks for.
class CReturnToOriginal {
public:
    // why: kSessionEnding or kQuillowEnding. Sent messages are served while
    // it waits, so a window thread may call it. True once the switcher has
    // done it.
    static bool Ask(WPARAM why, DWORD waitMs);

private:
    static bool WaitServingSentMessages(HANDLE event, DWORD waitMs);
};
