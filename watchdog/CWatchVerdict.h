#pragma once

#include "CWatchBlock.h"

// What the watchdog undoes once Quillow has ended, judged from the block
// alone, so that tests can feed it every state Quillow may die in.
class CWatchVerdict {
public:
    // restartAllowed: Quillow has not been started again too often lately.
    // privateIsInput: the system names the private desktop the input
    // desktop, whatever Quillow had marked (someone else showed it).
    static CWatchVerdict AfterExit(const CWatchBlock& block, bool restartAllowed = true,
                                   bool privateIsInput = false);

    bool SwitchBack() const { return m_switchBack; }
    bool RestoreTaskManager() const { return m_restoreTaskManager; }
    // The way back asks for a password, so the watchdog may not open it:
    // Quillow is started again, and its own prompt guards the way back.
    bool RestartQuillow() const { return m_restartQuillow; }

private:
    CWatchVerdict(bool switchBack, bool restoreTaskManager, bool restartQuillow)
        : m_switchBack(switchBack), m_restoreTaskManager(restoreTaskManager),
          m_restartQuillow(restartQuillow)
    {
    }

    bool m_switchBack;
    bool m_restoreTaskManager;
    bool m_restartQuillow;
};
