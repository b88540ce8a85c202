#pragma once

#include "../actions/CActions.h"

// The switcher thread's actions, with the watchdog told of the task-manager
// policy around each write, so that a killed Quillow never leaves the task
// manager disabled behind it.
class CWatchedActions : public CActions {
public:
    using CActions::CActions;

    void SetTaskManagerPolicy(DWORD value) override;
};
