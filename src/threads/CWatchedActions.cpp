#include "threads/CWatchedActions.h"

#include <objbase.h>

#include "base/CTrace.h"
#include "threads/CWatchdog.h"

namespace {
// Long enough for any sound driver or shell folder that answers at all; a
// worker that hangs past it is left to finish on its own, with objects of
// its own, and the switch goes on.
constexpr DWORD kWorkerWait = 5000;
}  // namespace

CWatchedActions::CWatchedActions(const wchar_t* windowsDirectory, const wchar_t* settingsKey)
    : CActions(windowsDirectory), m_windowsDirectory(windowsDirectory)
{
    m_mark.SetRoot(HKEY_CURRENT_USER);
    m_mark.SetPath(settingsKey);
}

void CWatchedActions::Mute() { RunOnWorker(Work::Mute); }

void CWatchedActions::ClearBrowserHistory() { RunOnWorker(Work::ClearBrowserHistory); }

void CWatchedActions::ClearRecentDocuments() { RunOnWorker(Work::ClearRecentDocuments); }

void CWatchedActions::RunOnWorker(Work work)
{
    // The order is the worker's own: it may outlive this call.
    auto* order = new WorkOrder{work, m_windowsDirectory};
    HANDLE worker = CreateThread(nullptr, 0, WorkerProc, order, 0, nullptr);
    if (!worker) {
        CTrace::LastError(L"CreateThread", L"a worker for a COM or shell action");
        // The action is skipped rather than run here: a window on this
        // thread would stop it from ever serving another switch.
        delete order;
        return;
    }
    WaitForSingleObject(worker, kWorkerWait);
    CloseHandle(worker);
}

DWORD WINAPI CWatchedActions::WorkerProc(void* param)
{
    const WorkOrder order = *static_cast<WorkOrder*>(param);
    delete static_cast<WorkOrder*>(param);
    const HRESULT init = CoInitialize(nullptr);
    // Actions of the worker's own, with a context of their own.
    CActions actions(order.windowsDirectory);
    switch (order.work) {
    case Work::Mute:
        actions.CActions::Mute();
        break;
    case Work::ClearBrowserHistory:
        actions.CActions::ClearBrowserHistory();
        break;
    case Work::ClearRecentDocuments:
        actions.CActions::ClearRecentDocuments();
        break;
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return 0;
}

void CWatchedActions::SetTaskManagerPolicy(DWORD value)
{
    // Marked before the 1 is written and cleared after the 0 is: a kill
    // between the two sides makes the watchdog, the next start or the
    // uninstaller write a 0 that is already there, never leave a 1.
    if (value != 0) {
        CWatchdog::Instance().SetTaskManagerPolicySet(true);
        m_mark.WriteDword(CSettingsTable::Name(StoredValue::TASKMGR_APPLIED), 1);
    }
    CActions::SetTaskManagerPolicy(value);
    if (value == 0) {
        m_mark.DeleteValue(CSettingsTable::Name(StoredValue::TASKMGR_APPLIED));
        CWatchdog::Instance().SetTaskManagerPolicySet(false);
    }
}

bool CWatchedActions::TaskManagerPolicyLeftSet() const
{
    DWORD marked = 0;
    return CWatchdog::Instance().TaskManagerPolicySet() ||
           (m_mark.ReadDword(CSettingsTable::Name(StoredValue::TASKMGR_APPLIED), &marked) ==
                ERROR_SUCCESS &&
            marked != 0);
}

void CWatchedActions::RepairTaskManagerPolicy()
{
    if (TaskManagerPolicyLeftSet())
        SetTaskManagerPolicy(0);
}
