// The input-hook library's public interface. Quillow.exe imports these by name.
#pragma once

#include <windows.h>

#ifdef HOOKLIB_BUILD
#define HOOKLIB_API extern "C" __declspec(dllexport)
#else
#define HOOKLIB_API extern "C" __declspec(dllimport)
#endif

// Watches mouse and keyboard input on the calling thread's desktop and posts
// WM_USER (wParam 0, lParam 1) to threadId whenever a trigger that is on fires.
// The hooks are held by a thread of HookLib that only pumps messages, so the
// caller may block as it likes. Both calls return once the hooks are in place
// or gone: no request is posted after UnInstallInputHook returns. Calling
// InstallInputHook again moves the hooks to the caller's desktop now.
HOOKLIB_API void __cdecl InstallInputHook(DWORD threadId);
HOOKLIB_API void __cdecl UnInstallInputHook(DWORD threadId);

// The setters may be called from any thread at any time; they take effect for
// the next input event.
HOOKLIB_API void __cdecl SetKeyCode(int keyCode, int shift, int ctrl, int alt);
HOOKLIB_API void __cdecl SetMiddleButton(int on);
HOOKLIB_API void __cdecl SetDoubleButton(int on);
