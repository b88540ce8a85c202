#pragma once

#include "ui/CMainFrame.h"
#include "win/CMessageLoop.h"

// The user-interface thread's loop. It owns the main frame, and its filter and
// idle steps go straight to the frame.
class CUiMessageLoop : public CMessageLoop {
public:
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle(int idleCount) override;
    // Creates the frame hidden and pumps until the frame is destroyed.
    int Run();

private:
    CMainFrame m_frame;
};
