#pragma once

#include <windows.h>

// Shows a desktop, and if the system refuses (the session is locked, a UAC
// prompt or another secure desktop is up) tries again each time the session
// is unlocked or the input desktop changes, until it works or the watching
// ends. It never polls: between tries it sleeps on the system's own news.
class CPersistentSwitch {
public:
    using SwitchFn = BOOL(WINAPI*)(HDESK);
    // Blocks until the next chance to try; false when there will be none.
    using WaitFn = bool (*)(void* context);

    static bool Show(HDESK desktop, SwitchFn switchDesktop, WaitFn waitForChance, void* context);
};

// The chances of the real system: a hidden message-only window that hears of
// session unlocks, and an event hook that hears of desktop switches.
class CSwitchChances {
public:
    CSwitchChances();
    ~CSwitchChances();
    CSwitchChances(const CSwitchChances&) = delete;
    CSwitchChances& operator=(const CSwitchChances&) = delete;

    static bool Wait(void* self);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnDesktopSwitch(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);

    HWND m_window = nullptr;
    HWINEVENTHOOK m_switchHook = nullptr;
    bool m_sessionWatched = false;
};
