#include "win/CSystemForegroundWindow.h"

CSystemForegroundWindow& CSystemForegroundWindow::Instance()
{
    // Holds no state: one serves every thread.
    static CSystemForegroundWindow instance;
    return instance;
}

bool CSystemForegroundWindow::Bring(HWND window)
{
    return SetForegroundWindow(window) != FALSE;
}

HWND CSystemForegroundWindow::Current() const { return GetForegroundWindow(); }

void CSystemForegroundWindow::Flash(HWND window)
{
    // Caption and taskbar button, until the window comes to the foreground;
    // the result is the old flash state, not an error.
    FLASHWINFO flash{sizeof(flash), window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}
