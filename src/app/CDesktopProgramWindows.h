#pragma once

#include <windows.h>

#include <vector>

// The user's programs still open on a desktop: its visible top-level windows
// that have a title, except those of the shell (explorer.exe processes: the
// private desktop's own shell and its folder windows) and those of the
// calling process. Once Quillow has ended its private desktop can no longer
// be shown, so anything left open there, unsaved, is out of reach.
class CDesktopProgramWindows {
public:
    // None when the desktop does not exist or cannot be read: Quillow then
    // ends as it always did, without asking.
    static std::vector<HWND> Find(const wchar_t* desktopName);
    static bool AnyOn(const wchar_t* desktopName) { return !Find(desktopName).empty(); }

private:
    struct Search;
    static BOOL CALLBACK Collect(HWND window, LPARAM search);
    static std::vector<DWORD> ShellProcessIds();
};
