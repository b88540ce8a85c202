// HookLib.dll: the switch triggers. Quillow's switcher thread asks for the
// hooks on both desktops, a thread of this DLL holds each desktop's, and the
// user-interface thread configures them.
#include "HookLib.h"

#include "CHookThread.h"
#include "CInputHook.h"
#include "CTriggerConfig.h"

namespace {
CTriggerConfig g_config;
CInputHook g_hook(g_config);
CHookThread g_originalHooks(g_hook, kHookOriginal);
CHookThread g_privateHooks(g_hook, kHookPrivate);

bool IsOn(int flag) { return flag != 0; }
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hook.SetModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HOOKLIB_API DWORD __cdecl InstallInputHooks(DWORD threadId, HDESK originalDesktop,
                                            HDESK privateDesktop)
{
    g_hook.SetTarget(threadId);
    DWORD watching = 0;
    if (originalDesktop && g_originalHooks.Install(originalDesktop))
        watching |= kWatchingOriginalDesktop;
    if (privateDesktop && g_privateHooks.Install(privateDesktop))
        watching |= kWatchingPrivateDesktop;
    return watching;
}

HOOKLIB_API void __cdecl UnInstallInputHooks(DWORD threadId)
{
    if (threadId != g_hook.Target())
        return;
    g_hook.SetTarget(0);
    g_originalHooks.Remove();
    g_privateHooks.Remove();
}

HOOKLIB_API void __cdecl SetKeyCode(int keyCode, int shift, int ctrl, int alt)
{
    g_config.SetHotKey(static_cast<uint8_t>(keyCode & 0xFF), IsOn(shift), IsOn(ctrl), IsOn(alt));
}

HOOKLIB_API void __cdecl SetMiddleButton(int on) { g_config.SetMiddleButton(IsOn(on)); }

HOOKLIB_API void __cdecl SetDoubleButton(int on) { g_config.SetBothButtons(IsOn(on)); }
