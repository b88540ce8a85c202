#pragma once

#include "CWatchBlock.h"

// What the watchdog undoes once Quillow has ended, judged from the block
// alone, so that tests can feed it every state Quillow may die in.
class CWatchVerdict {
public:
    static CWatchVerdict AfterExit(const CWatchBlock& block);

    bool SwitchBack() const { return m_switchBack; }
    bool RestoreTaskManager() const { return m_restoreTaskManager; }

private:
    CWatchVerdict(bool switchBack, bool restoreTaskManager)
        : m_switchBack(switchBack), m_restoreTaskManager(restoreTaskManager)
    {
    }

    bool m_switchBack;
    bool m_restoreTaskManager;
};
