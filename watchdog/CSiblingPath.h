#pragma once

#include <windows.h>

// The full path of a file beside the running program's own, as Quillow finds
// its watchdog and the watchdog finds Quillow. Written without the C
// runtime, which the watchdog does not link.
class CSiblingPath {
public:
    // False, leaving no usable path, when the program's path cannot be read
    // or the result would not fit.
    static bool Make(const wchar_t* fileName, wchar_t* path, DWORD capacity);
};
