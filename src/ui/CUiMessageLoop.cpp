#include "ui/CUiMessageLoop.h"

BOOL CUiMessageLoop::PreTranslateMessage(MSG* msg) { return m_frame.PreTranslateMessage(msg); }

BOOL CUiMessageLoop::OnIdle(int) { return m_frame.OnIdle(); }

int CUiMessageLoop::Run()
{
    // Without a frame the rest of the program still runs, only without a
    // user interface.
    if (!m_frame.CreateHidden())
        return 0;
    m_frame.ResetUpdateShown();
    return CMessageLoop::Run();
}
