// QuillowWatch.exe: outlives a Quillow that is killed or crashes, to give the
// user back the desktop and the task manager that Quillow took away, and to
// keep a desktop that a password guards guarded.
//
// It is a process of its own, not an entry of HookLib.dll run through
// rundll32, so that nothing of the main program is loaded into it: no hook
// globals, no C runtime, only kernel32, user32, advapi32 and wtsapi32. It has
// no window and does not poll: it sleeps on Quillow's process handle, which
// Quillow hands it by inheritance, so a reused process id can never fool it.
#include <windows.h>

#include "CPersistentSwitch.h"
#include "CRestartHistory.h"
#include "CSiblingPath.h"
#include "CWatchBlock.h"
#include "CWatchCommandLine.h"
#include "CWatchVerdict.h"

namespace {

// Written out again here rather than shared with the privacy cleaner, which
// is part of the main program; the end-to-end test keeps the two in step.
const wchar_t kSystemPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const wchar_t kQuillowExeName[] = L"Quillow.exe";
const wchar_t kPrivateDesktopName[] = L"qwdesk";

enum ExitCode : UINT {
    kDone = 0,
    kBadCommandLine = 2,
    kNoBlock = 3,
    kWaitFailed = 4,
    kNotShown = 5,
    kNotRestarted = 6
};

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

bool PrivateIsInputDesktop()
{
    // Only a confirmation: under the lock screen the input desktop cannot be
    // opened, and then the marks alone decide.
    HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!input)
        return false;
    wchar_t name[32] = {};
    const bool named = GetUserObjectInformationW(input, UOI_NAME, name,
                                                 sizeof(name) - sizeof(wchar_t), nullptr) != FALSE;
    CloseDesktop(input);
    return named && lstrcmpiW(name, kPrivateDesktopName) == 0;
}

CRestartHistory ReadRestartHistory()
{
    CRestartHistory history;
    wchar_t text[CRestartHistory::kTextChars];
    const DWORD length = GetEnvironmentVariableW(CRestartHistory::kVariable, text,
                                                 CRestartHistory::kTextChars);
    // A value cut to fit, or none at all, is no history of ours.
    if (length > 0 && length < CRestartHistory::kTextChars)
        history.Parse(text);
    return history;
}

bool RestartQuillow(CRestartHistory history)
{
    // The next Quillow's watchdog learns of this restart from the history
    // that it inherits through the next Quillow.
    history.Record(GetTickCount64());
    wchar_t text[CRestartHistory::kTextChars];
    if (!history.Format(text, CRestartHistory::kTextChars) ||
        !SetEnvironmentVariableW(CRestartHistory::kVariable, text) ||
        !SetEnvironmentVariableW(kRestartedOnPrivateVariable, L"1"))
        return false;
    wchar_t exe[MAX_PATH];
    if (!CSiblingPath::Make(kQuillowExeName, exe, MAX_PATH))
        return false;
    // Started on our own desktop, the original one, as the first Quillow
    // was; it then finds the private desktop shown and guards the way back.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

UINT SwitchBack(HDESK original)
{
    if (!original)
        return kNotShown;
    // A locked session or a secure desktop refuses the switch: it is tried
    // again each time that may have changed, until it works.
    CSwitchChances chances;
    return CPersistentSwitch::Show(original, SwitchDesktop, CSwitchChances::Wait, &chances)
               ? kDone
               : kNotShown;
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
    // own desktop is the one to go back to. Quillow refuses to start on any
    // other.
    const HDESK original = GetThreadDesktop(GetCurrentThreadId());

    // Also ends the wait at once if the handle is not a process we may wait
    // on: the watchdog never outlives a Quillow it cannot watch.
    if (WaitForSingleObject(quillow, INFINITE) != WAIT_OBJECT_0)
        return kWaitFailed;

    const CRestartHistory history = ReadRestartHistory();
    const CWatchVerdict verdict = CWatchVerdict::AfterExit(
        *block, history.Allows(GetTickCount64()), !block->cleanStop && PrivateIsInputDesktop());
    if (verdict.RestoreTaskManager())
        EnableTaskManager();
    if (verdict.RestartQuillow())
        return RestartQuillow(history) ? kDone : kNotRestarted;
    if (verdict.SwitchBack())
        return SwitchBack(original);
    return kDone;
}

}  // namespace

// The entry point itself: there is no C runtime to call a main.
extern "C" void WatchMain()
{
    ExitProcess(Watch());
}
