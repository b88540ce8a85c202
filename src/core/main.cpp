// Quillow.exe: hides everything on the screen at once by switching to a
// second desktop, and back.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "CCrashGuard.h"
#include "CMainThread.h"
#include "CMyAppModule.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CCrashGuard::Instance().Install();
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    g_module.Init(instance);

    CMainThread mainThread;
    const int result = mainThread.Run();

    g_module.Term();
    CoUninitialize();
    return result;
}
