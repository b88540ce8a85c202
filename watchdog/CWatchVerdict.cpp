#include "CWatchVerdict.h"

CWatchVerdict CWatchVerdict::AfterExit(const CWatchBlock& block, bool restartAllowed,
                                       bool privateIsInput)
{
    // A normal exit leaves the desktop and the policy as the user left them,
    // the private desktop included.
    if (block.cleanStop)
        return CWatchVerdict(false, false, false);
    // The policy is undone on its own: Quillow may die between writing it
    // and showing the private desktop.
    const bool restoreTaskManager = block.taskManagerPolicySet != 0;
    const bool privateShown = block.privateShown != 0 || privateIsInput;
    // A kill must never do what only the restore password may. Past the
    // restarts allowed, the user stays where they are: a Quillow that keeps
    // dying is not brought back, and the original desktop stays guarded.
    if (privateShown && block.restoreGuarded)
        return CWatchVerdict(false, restoreTaskManager, restartAllowed);
    return CWatchVerdict(privateShown, restoreTaskManager, false);
}
