// Quillow.exe: hides everything on the screen at once by switching to a
// second desktop, and back.
#include <windows.h>
#include <objbase.h>

#include "CCrashGuard.h"
#include "CMainThread.h"
#include "CMyAppModule.h"
#include "CWatchdog.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CCrashGuard::Instance().Install();
    // Before the workers: the watchdog must inherit our handles and nothing
    // else, and must be there before the private desktop is first shown. Not
    // starting it costs the kill guard only; Quillow runs on.
    CWatchdog::Instance().Start();
    CoInitialize(nullptr);
    g_module.Init(instance);

    CMainThread mainThread;
    const int result = mainThread.Run();

    g_module.Term();
    CoUninitialize();
    // The watchdog must hear of the clean stop before the process ends, and
    // nothing that can fail may come after it.
    CWatchdog::Instance().MarkCleanStop();
    // Returning would run the static destructors (the module and the live
    // settings it holds) while a worker held past the wait, such as a
    // password prompt's thread, may still read them. ExitProcess ends every
    // other thread first, so nothing of ours runs after this under a thread
    // that is still alive.
    ExitProcess(static_cast<UINT>(result));
}
