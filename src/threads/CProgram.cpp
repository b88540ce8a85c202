#include "threads/CProgram.h"

#include <objbase.h>

#include "app/CMyAppModule.h"
#include "CWatchBlock.h"
#include "threads/CCrashGuard.h"
#include "threads/CMainThread.h"
#include "threads/CWatchdog.h"
#include "win/CInputDesktop.h"

namespace {
// Per session: the same user signed in twice runs two Quillows, one a session.
const wchar_t kInstanceMutex[] = L"Local\\Orvane.Quillow.Running";
}  // namespace

int CProgram::Run(HINSTANCE instance)
{
    // Everything Quillow does assumes it starts where the user works: the
    // watchdog switches back to its own desktop, and the shell, the hooks
    // and the prompts take the start desktop for the original one.
    if (StartedOnPrivateDesktop()) {
        MessageBoxW(nullptr,
                    L"Quillow starts only on your normal desktop. Switch back to it, then start "
                    L"Quillow there.",
                    g_module.m_shortName, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    // Two Quillows would each hook both desktops and switch twice per trigger.
    if (!ClaimSingleInstance())
        return 0;

    TakeRestartNotice();
    CCrashGuard::Instance().Install();
    // The guards that outlive a kill or a crash hear of every change of the
    // restore password, from the first load of the settings on.
    g_module.SetRestoreGuardMark(MarkRestoreGuard);
    // Before the workers: the watchdog must inherit our handles and nothing
    // else, and must be there before the private desktop is first shown. Not
    // starting it costs the kill guard only; Quillow runs on.
    CWatchdog::Instance().Start();
    CoInitialize(nullptr);
    g_module.Init(instance);

    CMainThread mainThread;
    const int result = mainThread.Run();

    g_module.Term();
    CoUninitialize();
    // The watchdog must hear of the clean stop before the process ends, and
    // nothing that can fail may come after it.
    CWatchdog::Instance().MarkCleanStop();
    return result;
}

bool CProgram::StartedOnPrivateDesktop()
{
    wchar_t name[64];
    return CInputDesktop::NameOf(GetThreadDesktop(GetCurrentThreadId()), name, ARRAYSIZE(name)) &&
           CompareStringOrdinal(name, -1, g_module.m_desktopName, -1, TRUE) == CSTR_EQUAL;
}

void CProgram::TakeRestartNotice()
{
    wchar_t notice[4] = {};
    g_module.m_restartedOnPrivate =
        GetEnvironmentVariableW(kRestartedOnPrivateVariable, notice, 4) == 1 && notice[0] == L'1';
    // For this run only: the watchdog and the programs we start must not
    // inherit it.
    SetEnvironmentVariableW(kRestartedOnPrivateVariable, nullptr);
}

bool CProgram::ClaimSingleInstance()
{
    // Held until the process ends; the system lets go of it then, however
    // the process ends.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
    if (!mutex)
        return true;  // without the guard Quillow still runs, as before it
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

void CProgram::MarkRestoreGuard(bool guarded)
{
    CWatchdog::Instance().SetRestoreGuarded(guarded);
    CCrashGuard::Instance().SetRestoreGuarded(guarded);
}
