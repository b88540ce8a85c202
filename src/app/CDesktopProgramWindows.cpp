#include "app/CDesktopProgramWindows.h"

#include <tlhelp32.h>

#include <algorithm>

namespace {
const wchar_t kShellFileName[] = L"explorer.exe";
}

struct CDesktopProgramWindows::Search {
    std::vector<DWORD> skippedProcesses;
    std::vector<HWND> found;
};

std::vector<HWND> CDesktopProgramWindows::Find(const wchar_t* desktopName)
{
    HDESK desktop = OpenDesktopW(desktopName, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    if (!desktop)
        return {};
    Search search;
    search.skippedProcesses = ShellProcessIds();
    search.skippedProcesses.push_back(GetCurrentProcessId());
    if (!EnumDesktopWindows(desktop, Collect, reinterpret_cast<LPARAM>(&search)))
        search.found.clear();
    CloseDesktop(desktop);
    return search.found;
}

BOOL CALLBACK CDesktopProgramWindows::Collect(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) ||
        std::find(search.skippedProcesses.begin(), search.skippedProcesses.end(), processId) !=
            search.skippedProcesses.end())
        return TRUE;
    // A top-level window's own style says whether it is shown: its parent is
    // the desktop's window, which IsWindowVisible would ask about too, and
    // which a desktop not shown need not have made visible.
    const bool shown = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    // Another process's title is read from the window itself, without a
    // message, so a program that hangs cannot hold us here. One character
    // tells a title from none.
    wchar_t title[2] = L"";
    if (shown && GetWindowTextW(window, title, 2) > 0)
        search.found.push_back(window);
    return TRUE;
}

// When the processes cannot be listed no window is taken for the shell's:
// asking once too often costs a click, not asking may cost a document.
std::vector<DWORD> CDesktopProgramWindows::ShellProcessIds()
{
    std::vector<DWORD> shells;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return shells;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        if (lstrcmpiW(entry.szExeFile, kShellFileName) == 0)
            shells.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return shells;
}
