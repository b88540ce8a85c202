#include "CWatchedActions.h"

#include "CWatchdog.h"

void CWatchedActions::SetTaskManagerPolicy(DWORD value)
{
    // Marked before the 1 is written and cleared after the 0 is: a kill
    // between the two sides makes the watchdog write a 0 that is already
    // there, never leave a 1.
    if (value != 0)
        CWatchdog::Instance().SetTaskManagerPolicySet(true);
    CActions::SetTaskManagerPolicy(value);
    if (value == 0)
        CWatchdog::Instance().SetTaskManagerPolicySet(false);
}
