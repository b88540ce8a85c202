#pragma once

#include <windows.h>

// What the actions that end programs never touch, whatever the user listed or
// whichever window's title matched: the processes that keep the session, the
// shell and Quillow itself running, and the windows that Windows or a runtime
// makes for every GUI thread. Shared by "close windows by title", "terminate
// processes" and the process picker, so the three can never disagree.
class CProtectedTargets {
public:
    // Processes never ended, compared on the image name without regard to
    // case: system processes, the shell, and Quillow and its watchdog.
    static bool IsNeverEnded(const wchar_t* imageName);
    // Processes whose windows are not even asked to close: the system
    // processes, whose hidden windows the session relies on. The shell's
    // folder windows and Quillow's own settings window are ordinary windows
    // and may be closed by title; their processes are still never ended.
    static bool AreWindowsLeftAlone(const wchar_t* imageName);
    // Window classes never sent WM_CLOSE: the per-thread windows of the input
    // method, text services, GDI+, OLE and the common controls, and the
    // shell's desktop and taskbars. Class names compare without case, as
    // Windows compares them.
    static bool IsNeverClosedClass(const wchar_t* className);
    // The same test on a window's own class.
    static bool IsNeverClosedWindow(HWND window);
};
