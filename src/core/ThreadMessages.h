// The thread messages the program's threads post to each other.
#pragma once

#include <windows.h>

// To the switcher thread: switch desktops. lParam non-zero asks for the
// password of this direction first. To the main thread: relayed to the
// switcher with lParam 1.
constexpr UINT WM_SWITCH_REQUEST = WM_USER;
// To every thread: leave the message loop.
constexpr UINT WM_STOP_THREAD = WM_USER + 1;
// To a password thread: show the prompt.
constexpr UINT WM_PASSWORD_REQUEST = WM_USER + 2;
// To the update-check thread: ask the maker's server for a newer version.
constexpr UINT WM_UPDATE_CHECK = WM_USER + 4;
// To the user-interface thread: save every setting and end, as the tray's
// "Exit" does, but ask the user nothing. The main thread posts it when the
// installer or uninstaller sets the exit-request event (CExitRequestEvent).
constexpr UINT WM_SAVE_AND_EXIT = WM_USER + 7;

constexpr LPARAM kSwitchAskPassword = 1;
constexpr LPARAM kSwitchConfirmed = 0;
