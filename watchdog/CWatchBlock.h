#pragma once

#include <windows.h>

// The few facts Quillow leaves for QuillowWatch.exe, in a page the two
// share. Quillow writes each field with an interlocked exchange; the watchdog
// reads them only once Quillow has ended, when nothing writes any more. A
// non-zero field is set. All zero, the state of a fresh page, means "nothing
// to undo", so a Quillow that dies before its first write is left alone.
struct CWatchBlock {
    // The private desktop is shown, or about to be: set before SwitchDesktop
    // to it, cleared after SwitchDesktop back.
    LONG volatile privateShown;
    // DisableTaskMgr is 1 by our hand: set before the value is written,
    // cleared after 0 is written back.
    LONG volatile taskManagerPolicySet;
    // Quillow reached the end of a normal exit; whatever is shown then is
    // what the user chose to leave shown.
    LONG volatile cleanStop;
    // The way back from the private desktop asks for a password: set while
    // the live restore password is not empty. Then no kill may open the
    // original desktop.
    LONG volatile restoreGuarded;
};

// Set in the environment of a Quillow that the watchdog started again while
// the guarded private desktop was shown, so that it knows so from its first
// moment, even where the system cannot name the input desktop.
constexpr const wchar_t* kRestartedOnPrivateVariable = L"QUILLOW_RESTARTED_ON_PRIVATE";
