// HookLib.dll: the switch triggers. Quillow's switcher thread asks for the
// hooks on its desktop, a thread of this DLL holds them, and the
// user-interface thread configures them.
#include "HookLib.h"

#include "CHookThread.h"
#include "CInputHook.h"
#include "CTriggerConfig.h"

namespace {
CTriggerConfig g_config;
CInputHook g_hook(g_config);
CHookThread g_hookThread(g_hook);

bool IsOn(int flag) { return flag != 0; }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hook.SetModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HOOKLIB_API void __cdecl InstallInputHook(DWORD threadId)
{
    // The caller's desktop, not the hook thread's: the caller is the one
    // that just moved to the desktop now shown.
    g_hookThread.Install(threadId, GetThreadDesktop(GetCurrentThreadId()));
}

HOOKLIB_API void __cdecl UnInstallInputHook(DWORD threadId) { g_hookThread.Remove(threadId); }

HOOKLIB_API void __cdecl SetKeyCode(int keyCode, int shift, int ctrl, int alt)
{
    g_config.SetHotKey(static_cast<uint8_t>(keyCode & 0xFF), IsOn(shift), IsOn(ctrl), IsOn(alt));
}

HOOKLIB_API void __cdecl SetMiddleButton(int on) { g_config.SetMiddleButton(IsOn(on)); }

HOOKLIB_API void __cdecl SetDoubleButton(int on) { g_config.SetBothButtons(IsOn(on)); }
