#pragma once

#include <windows.h>

#include "threads/ISwitchPort.h"

// Which desktop is shown, and what a switch request does about it: ask for
// the password of the direction, or switch with the actions around it.
//
// What is shown is learnt from the system wherever it tells: a trigger says
// on which desktop's input it fired, and input comes only from the desktop
// shown, whoever showed it. Only a request that names no desktop goes by the
// last thing learnt.
class CDesktopSwitcher {
public:
    explicit CDesktopSwitcher(ISwitchPort& port, ISwitchPort::Desktop shownAtStart = ISwitchPort::kOriginal)
        : m_port(port), m_shown(shownAtStart)
    {
    }

    // from: the request's wParam, the desktop whose trigger fired it or
    // none. flag: its lParam; the token of a password request answers that
    // request, anything else asks for the password where one is set. The two
    // flags say whether each direction has a password now.
    void OnSwitchRequest(WPARAM from, LPARAM flag, bool switchPasswordSet, bool restorePasswordSet);
    // Input came from the desktop, or the system named it the input
    // desktop: it is the one shown.
    void OnInputSeen(ISwitchPort::Desktop desktop);
    // The session is ending, or Quillow is told to end without asking: back
    // to the original desktop with no password.
    void ReturnToOriginal();

    ISwitchPort::Desktop Shown() const { return m_shown; }

private:
    ISwitchPort::Desktop Source(WPARAM from) const;
    bool AnswersPasswordRequest(LPARAM flag, ISwitchPort::Desktop* leaving) const;
    void AskPassword(ISwitchPort::Desktop shown);
    void SwitchAwayFrom(ISwitchPort::Desktop shown, bool restorePasswordSet);
    bool MayEnterPrivate(bool restorePasswordSet);
    void Refuse(ISwitchPort::Refusal why);

    ISwitchPort& m_port;
    ISwitchPort::Desktop m_shown;
    // The token of the open password request of each direction, 0 for none.
    // A trigger while a prompt is open asks again with the same token, so
    // the prompt's answer still counts.
    LPARAM m_tokens[2] = {};
    bool m_refusalTold = false;
};
