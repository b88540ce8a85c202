// QuillowWatch.exe: outlives a Quillow that is killed or crashes, to give the
// user back the desktop and the task manager that Quillow took away.
//
// It is a process of its own, not an entry of HookLib.dll run through
// rundll32, so that nothing of the main program is loaded into it: no hook
// globals, no C runtime, only kernel32, user32 and advapi32. It has no window
// and does not poll: it sleeps on Quillow's process handle, which Quillow
// hands it by inheritance, so a reused process id can never fool it.
#include <windows.h>

#include "CWatchBlock.h"
#include "CWatchCommandLine.h"
#include "CWatchVerdict.h"

namespace {

// Written out again here rather than shared with the privacy cleaner, which
// is part of the main program; the end-to-end test keeps the two in step.
const wchar_t kSystemPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

enum ExitCode : UINT { kDone = 0, kBadCommandLine = 2, kNoBlock = 3, kWaitFailed = 4 };

void EnableTaskManager()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSystemPolicyKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    // 0, as Quillow itself writes on the way back, not the value from before.
    const DWORD enabled = 0;
    RegSetValueExW(key, L"DisableTaskMgr", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enabled),
                   sizeof(enabled));
    RegCloseKey(key);
}

UINT Watch()
{
    HANDLE quillow = nullptr, blockHandle = nullptr;
    if (!CWatchCommandLine::Parse(GetCommandLineW(), &quillow, &blockHandle))
        return kBadCommandLine;
    const auto* block = static_cast<const CWatchBlock*>(
        MapViewOfFile(blockHandle, FILE_MAP_READ, 0, 0, sizeof(CWatchBlock)));
    if (!block)
        return kNoBlock;
    // Quillow starts us from its main thread, which stays on the original
    // desktop for good, and a new process starts on its parent's desktop: our
    // own desktop is the one to go back to.
    const HDESK original = GetThreadDesktop(GetCurrentThreadId());

    // Also ends the wait at once if the handle is not a process we may wait
    // on: the watchdog never outlives a Quillow it cannot watch.
    if (WaitForSingleObject(quillow, INFINITE) != WAIT_OBJECT_0)
        return kWaitFailed;

    const CWatchVerdict verdict = CWatchVerdict::AfterExit(*block);
    if (verdict.SwitchBack() && original)
        SwitchDesktop(original);
    if (verdict.RestoreTaskManager())
        EnableTaskManager();
    return kDone;
}

}  // namespace

// The entry point itself: there is no C runtime to call a main.
extern "C" void WatchMain()
{
    ExitProcess(Watch());
}
