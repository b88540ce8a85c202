// The input-hook library's public interface. Quillow.exe imports these by name.
#pragma once

#include <windows.h>

#ifdef HOOKLIB_BUILD
#define HOOKLIB_API extern "C" __declspec(dllexport)
#else
#define HOOKLIB_API extern "C" __declspec(dllimport)
#endif

// The switch request HookLib posts when a trigger fires: message WM_USER,
// wParam the desktop whose input fired it, lParam kSwitchAskPassword. A
// wParam of kSwitchFromUnknownDesktop is what everyone else sends (a relay,
// another program): the receiver must then find out for itself where the
// user is.
constexpr UINT kSwitchRequest = WM_USER;
constexpr WPARAM kSwitchFromUnknownDesktop = 0;
constexpr WPARAM kSwitchFromOriginalDesktop = 1;
constexpr WPARAM kSwitchFromPrivateDesktop = 2;
constexpr LPARAM kSwitchAskPassword = 1;

// What InstallInputHooks answers: a bit for each desktop whose input is watched.
constexpr DWORD kWatchingOriginalDesktop = 1;
constexpr DWORD kWatchingPrivateDesktop = 2;

// Watches mouse and keyboard input on both desktops at once, each from a
// thread of HookLib attached to that desktop, since a low-level hook sees the
// input of its own thread's desktop only. Whichever desktop is shown, and
// whoever showed it, its trigger reaches threadId and says where it came
// from. The hooks never move at a switch. The threads only pump messages, so
// the caller may block as it likes.
//
// Returns once the hooks are in place, or after a bounded wait. Calling it
// again puts the hooks in place anew, which is what to do after anything that
// may have removed them (an unlocked session, a display or power change).
// Should a hook thread not answer, that request is served on the caller's
// thread where the caller is on that desktop; the next request asks the hook
// thread again.
HOOKLIB_API DWORD __cdecl InstallInputHooks(DWORD threadId, HDESK originalDesktop,
                                            HDESK privateDesktop);
// Returns once the hooks are gone: no request is posted after it returns.
HOOKLIB_API void __cdecl UnInstallInputHooks(DWORD threadId);

// The setters may be called from any thread at any time; they take effect for
// the next input event.
HOOKLIB_API void __cdecl SetKeyCode(int keyCode, int shift, int ctrl, int alt);
HOOKLIB_API void __cdecl SetMiddleButton(int on);
HOOKLIB_API void __cdecl SetDoubleButton(int on);
