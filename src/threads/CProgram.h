#pragma once

#include <windows.h>

// The whole run of Quillow.exe, from the first check to the clean stop; the
// entry point only calls it. A test build of the program calls it too, after
// putting a fault in place.
class CProgram {
public:
    // The process's exit code.
    static int Run(HINSTANCE instance);

private:
    static bool StartedOnPrivateDesktop();
    static bool ClaimSingleInstance();
    static void TakeRestartNotice();
    static void MarkRestoreGuard(bool guarded);
};
