// HookLib.dll: the switch triggers. Quillow's switcher thread installs the
// hooks; its user-interface thread configures them.
#include "HookLib.h"

#include "CInputHook.h"
#include "CTriggerConfig.h"

namespace {
CTriggerConfig g_config;
CInputHook g_hook(g_config);

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

HOOKLIB_API void __cdecl InstallInputHook(DWORD threadId) { g_hook.Install(threadId); }

HOOKLIB_API void __cdecl UnInstallInputHook(DWORD threadId) { g_hook.Remove(threadId); }

HOOKLIB_API void __cdecl SetKeyCode(int keyCode, int shift, int ctrl, int alt)
{
    g_config.SetHotKey(static_cast<uint8_t>(keyCode & 0xFF), IsOn(shift), IsOn(ctrl), IsOn(alt));
}

HOOKLIB_API void __cdecl SetMiddleButton(int on) { g_config.SetMiddleButton(IsOn(on)); }

HOOKLIB_API void __cdecl SetDoubleButton(int on) { g_config.SetBothButtons(IsOn(on)); }
