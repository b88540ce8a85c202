#include "threads/CShownDesktop.h"

#include "base/CTrace.h"

CShownDesktop::SwitchDesktopFn CShownDesktop::s_default = ::SwitchDesktop;

void CShownDesktop::SetDesktops(HDESK original, HDESK privateDesktop)
{
    m_desktops[ISwitchPort::kOriginal] = original;
    m_desktops[ISwitchPort::kPrivate] = privateDesktop;
    m_crashGuard.SetOriginalDesktop(original);
}

bool CShownDesktop::Show(ISwitchPort::Desktop desktop)
{
    const bool wasMarkedPrivate = m_watchdog.PrivateShown();
    // The watchdog hears of the private desktop before it is shown and of the
    // original one after: a kill in between then makes it switch back to a
    // desktop already shown, never leave the user on the private one.
    if (desktop == ISwitchPort::kPrivate)
        m_watchdog.SetPrivateShown(true);
    if (!m_desktops[desktop] || !m_switchDesktop(m_desktops[desktop])) {
        CTrace::LastError(L"SwitchDesktop", desktop == ISwitchPort::kPrivate
                                                ? L"to the private desktop"
                                                : L"to the original desktop");
        m_watchdog.SetPrivateShown(wasMarkedPrivate);
        return false;
    }
    Note(desktop);
    return true;
}

void CShownDesktop::Note(ISwitchPort::Desktop desktop)
{
    const bool privateShown = desktop == ISwitchPort::kPrivate;
    m_crashGuard.SetPrivateShown(privateShown);
    m_watchdog.SetPrivateShown(privateShown);
}
