#include "CWatchVerdict.h"

CWatchVerdict CWatchVerdict::AfterExit(const CWatchBlock& block)
{
    // A normal exit leaves the desktop and the policy as the user left them,
    // the private desktop included.
    if (block.cleanStop)
        return CWatchVerdict(false, false);
    // The policy is undone on its own: Quillow may die between writing it
    // and showing the private desktop.
    return CWatchVerdict(block.privateShown != 0, block.taskManagerPolicySet != 0);
}
