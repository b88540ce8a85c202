#pragma once

#include <windows.h>

// The user-interface thread: the main frame, every window, the settings.
class CUiThread {
public:
    // What the creator hands the thread; the thread frees it when it ends.
    struct Params {
        const wchar_t* commandLine;
        int showCommand;
    };

    static DWORD WINAPI ThreadProc(void* params);
};
