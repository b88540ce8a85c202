#pragma once

#include "actions/CActions.h"
#include "app/CSettingsTable.h"
#include "base/CRegistryPath.h"

// The switcher thread's actions, with two guards around them:
// - The task-manager policy is marked before it is set and unmarked after it
//   is taken back, both for the watchdog and in the registry, so that no
//   kill, crash or power loss leaves the task manager disabled for good.
// - Every action that goes through COM or the shell runs on a short-lived
//   thread of its own. A COM apartment makes a hidden window on its thread,
//   and the shell may keep one; the switcher thread itself must never own a
//   window.
class CWatchedActions : public CActions {
public:
    // settingsKey: the program's key under HKEY_CURRENT_USER, for the mark.
    CWatchedActions(const wchar_t* windowsDirectory, const wchar_t* settingsKey);

    void Mute() override;
    void ClearBrowserHistory() override;
    void ClearRecentDocuments() override;
    void SetTaskManagerPolicy(DWORD value) override;

    // Whether a policy that we set may still stand: marked in this run, or
    // left marked by an earlier one that did not get to take it back.
    bool TaskManagerPolicyLeftSet() const;
    // Takes back a policy we set, if one may still stand.
    void RepairTaskManagerPolicy();


private:
    enum class Work { Mute, ClearBrowserHistory, ClearRecentDocuments };
    struct WorkOrder {
        Work work;
        const wchar_t* windowsDirectory;
    };

    void RunOnWorker(Work work);
    static DWORD WINAPI WorkerProc(void* order);

    const wchar_t* m_windowsDirectory;
    CRegistryPath m_mark;
};
