#pragma once

#include <windows.h>

#include "ISwitchPort.h"

// Which desktop is shown, and what a switch request does about it: ask for
// the password of the direction, or switch with the actions around it.
class CDesktopSwitcher {
public:
    explicit CDesktopSwitcher(ISwitchPort& port) : m_port(port) {}

    // askPassword: the request's lParam; non-zero when it comes from a
    // trigger, zero when a password thread has already checked the password.
    // The two flags say whether each direction has a password now.
    void OnSwitchRequest(LPARAM askPassword, bool switchPasswordSet, bool restorePasswordSet);

    ISwitchPort::Desktop Shown() const { return m_shown; }

private:
    ISwitchPort& m_port;
    ISwitchPort::Desktop m_shown = ISwitchPort::kOriginal;
};
