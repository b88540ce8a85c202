#pragma once

#include <windows.h>

// The thread that asks the maker's server for a newer version, off the
// user-interface thread so a slow network never freezes a window.
class CUpdateCheckThread {
public:
    static DWORD WINAPI ThreadProc(void* unused);

private:
    static void OnUpdateCheckRequest();
};
