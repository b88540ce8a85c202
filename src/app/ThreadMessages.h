// The thread messages the program's threads post to each other.
#pragma once

#include <windows.h>

#include <HookLib.h>

// To the switcher thread: switch desktops. wParam: the desktop whose trigger
// fired it, or none. lParam: the token of the password request it answers,
// or anything else to ask for the password of this direction first. To the
// main thread: relayed to the switcher with lParam 1.
constexpr UINT WM_SWITCH_REQUEST = kSwitchRequest;
// To every thread: leave the message loop.
constexpr UINT WM_STOP_THREAD = WM_USER + 1;
// To a password thread: show the prompt. lParam: the token its answer
// carries back.
constexpr UINT WM_PASSWORD_REQUEST = WM_USER + 2;
// To the update-check thread: ask the maker's server for a newer version.
constexpr UINT WM_UPDATE_CHECK = WM_USER + 4;
// To the switcher thread: the session was unlocked, or the display or power
// changed, any of which may have cost us the hooks.
constexpr UINT WM_REINSTALL_HOOKS = WM_USER + 5;
// To the switcher thread: show the original desktop, asking nothing, and
// take back the task-manager policy; then set the event in lParam. wParam
// kSessionEnding also marks the end for the watchdog: the session, not a
// kill, ends Quillow.
constexpr UINT WM_RETURN_TO_ORIGINAL = WM_USER + 8;
constexpr WPARAM kQuillowEnding = 0;
constexpr WPARAM kSessionEnding = 1;
// To the user-interface thread: save every setting and end, as the tray's
// "Exit" does, but ask the user nothing. The main thread posts it when the
// installer or uninstaller sets the exit-request event (CExitRequestEvent).
constexpr UINT WM_SAVE_AND_EXIT = WM_USER + 7;

