#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/CFixedText.h"

// Every setting, one field per registry value, as the user-interface thread
// holds it. Loaded at start, changed only by the apply operations, saved at
// exit.
struct CSettingsRecord {
    DWORD SW_WHEEL = 0;
    DWORD SW_DOUBLE = 0;
    DWORD SW_HOTKEY_ENABLED = 0;
    DWORD SW_HOTKEY = 0;
    DWORD SW_CTRL = 0;
    DWORD SW_SHIFT = 0;
    DWORD SW_ALT = 0;
    DWORD SS_STARTUP = 0;
    DWORD SS_TRAYICON = 0;
    DWORD SS_UPDATE = 0;
    DWORD SS_HOTKEY_ENABLED = 0;
    DWORD SS_HOTKEY = 0;
    DWORD SS_CTRL = 0;
    DWORD SS_SHIFT = 0;
    DWORD SS_ALT = 0;
    DWORD PWD_VIRT_ENABLED = 0;
    CFixedText<16> PWD_VIRT;
    DWORD PWD_ORIG_ENABLED = 0;
    CFixedText<16> PWD_ORIG;
    DWORD AC_MUTE = 0;
    DWORD AC_MONITOR = 0;
    DWORD AC_TASKMGR = 0;
    DWORD AC_BROWSERHISTORY = 0;
    DWORD AC_IEURLS = 0;
    DWORD AC_RECENTDOC = 0;
    DWORD AC_PROCESSES_ENABLED = 0;
    DWORD AC_PROCESSES_COUNT = 0;
    std::vector<std::wstring> processes;
    DWORD AC_WINDOWS_ENABLED = 0;
    CFixedText<262> AC_WINDOWS_TITLE;
    DWORD AC_FILE_ENABLED = 0;
    CFixedText<262> AC_FILE_PATH;
    DWORD AC_WEBSITE_ENABLED = 0;
    CFixedText<262> AC_WEBSITE_URL;
};
