#include "CDesktopSwitcher.h"

void CDesktopSwitcher::OnSwitchRequest(LPARAM askPassword, bool switchPasswordSet,
                                       bool restorePasswordSet)
{
    // Each direction is guarded by its own password only.
    const bool onPrivate = m_shown == ISwitchPort::kPrivate;
    const bool guarded = onPrivate ? restorePasswordSet : switchPasswordSet;
    if (askPassword != 0 && guarded) {
        m_port.RequestPassword(m_shown);
        return;
    }

    m_shown = onPrivate ? ISwitchPort::kOriginal : ISwitchPort::kPrivate;
    if (m_shown == ISwitchPort::kPrivate)
        m_port.RunBeforeEntering();
    // A thread may change its desktop only while it holds no hook there.
    m_port.RemoveHook();
    m_port.ShowDesktop(m_shown);
    m_port.InstallHook();
    if (m_shown == ISwitchPort::kPrivate)
        m_port.RunAfterEntering();
    else
        m_port.RunAfterLeaving();
}
