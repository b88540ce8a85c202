#include "threads/CDesktopSwitcher.h"

#include <HookLib.h>

#include <initializer_list>

namespace {
ISwitchPort::Desktop Other(ISwitchPort::Desktop desktop)
{
    return desktop == ISwitchPort::kPrivate ? ISwitchPort::kOriginal : ISwitchPort::kPrivate;
}
}  // namespace

void CDesktopSwitcher::OnSwitchRequest(WPARAM from, LPARAM flag, bool switchPasswordSet,
                                       bool restorePasswordSet)
{
    ISwitchPort::Desktop leaving;
    if (AnswersPasswordRequest(flag, &leaving)) {
        SwitchAwayFrom(leaving, restorePasswordSet);
        return;
    }
    // A trigger on a desktop proves it is shown, whatever we last did: a
    // switch that failed, or someone else's, is mended by the next trigger.
    const ISwitchPort::Desktop shown = Source(from);
    OnInputSeen(shown);
    // Each direction is guarded by its own password only.
    const bool guarded = shown == ISwitchPort::kPrivate ? restorePasswordSet : switchPasswordSet;
    if (guarded)
        AskPassword(shown);
    else
        SwitchAwayFrom(shown, restorePasswordSet);
}

ISwitchPort::Desktop CDesktopSwitcher::Source(WPARAM from) const
{
    if (from == kSwitchFromOriginalDesktop)
        return ISwitchPort::kOriginal;
    if (from == kSwitchFromPrivateDesktop)
        return ISwitchPort::kPrivate;
    return m_shown;
}

bool CDesktopSwitcher::AnswersPasswordRequest(LPARAM flag, ISwitchPort::Desktop* leaving) const
{
    // 0 and 1 are never tokens: anyone may post those, and both ask.
    if (flag == 0 || flag == kSwitchAskPassword)
        return false;
    for (ISwitchPort::Desktop desktop : {ISwitchPort::kOriginal, ISwitchPort::kPrivate}) {
        if (m_tokens[desktop] == flag) {
            *leaving = desktop;
            return true;
        }
    }
    return false;
}

void CDesktopSwitcher::AskPassword(ISwitchPort::Desktop shown)
{
    LPARAM& token = m_tokens[shown];
    if (token == 0)
        token = m_port.NewToken();
    m_port.RequestPassword(shown, token);
}

void CDesktopSwitcher::SwitchAwayFrom(ISwitchPort::Desktop shown, bool restorePasswordSet)
{
    const ISwitchPort::Desktop target = Other(shown);
    if (target == ISwitchPort::kPrivate && !MayEnterPrivate(restorePasswordSet))
        return;
    if (target == ISwitchPort::kPrivate)
        m_port.RunBeforeEntering();
    if (!m_port.ShowDesktop(target)) {
        // The lock screen, a UAC prompt or another program's secure desktop:
        // the user still sees what they saw, so nothing of the switch stays.
        if (target == ISwitchPort::kPrivate)
            m_port.UndoBeforeEntering();
        return;
    }
    m_shown = target;
    // A prompt still open for the other direction must not switch later.
    m_tokens[ISwitchPort::kOriginal] = m_tokens[ISwitchPort::kPrivate] = 0;
    if (target == ISwitchPort::kPrivate)
        m_port.RunAfterEntering();
    else
        m_port.RunAfterLeaving();
}

bool CDesktopSwitcher::MayEnterPrivate(bool restorePasswordSet)
{
    // A desktop the user cannot leave is never entered.
    if (!m_port.Watching(ISwitchPort::kPrivate)) {
        Refuse(ISwitchPort::kNoWayBack);
        return false;
    }
    if (restorePasswordSet && !m_port.RestorePromptReady()) {
        Refuse(ISwitchPort::kNoRestorePrompt);
        return false;
    }
    if (restorePasswordSet && m_port.RestorePasswordUnmatchable()) {
        Refuse(ISwitchPort::kRestorePasswordUnreadable);
        return false;
    }
    return true;
}

void CDesktopSwitcher::Refuse(ISwitchPort::Refusal why)
{
    // Once is enough: every later trigger would repeat the same box.
    if (m_refusalTold)
        return;
    m_refusalTold = true;
    m_port.TellRefusal(why);
}

void CDesktopSwitcher::OnInputSeen(ISwitchPort::Desktop desktop)
{
    if (desktop == m_shown)
        return;
    m_shown = desktop;
    m_port.NoteShown(desktop);
}

void CDesktopSwitcher::ReturnToOriginal()
{
    if (m_shown != ISwitchPort::kPrivate || !m_port.ShowDesktop(ISwitchPort::kOriginal))
        return;
    m_shown = ISwitchPort::kOriginal;
    m_tokens[ISwitchPort::kOriginal] = m_tokens[ISwitchPort::kPrivate] = 0;
    m_port.RunAfterLeaving();
}
