#include "CTriggerDetector.h"

#include <windows.h>

InputVerdict CTriggerDetector::OnMouse(unsigned message, const TriggerSettings& settings)
{
    switch (message) {
    case WM_MBUTTONDOWN:
        OnDown(m_middle);
        if (!settings.middleButton)
            return InputVerdict::PassOn;
        // The release must vanish too, or the window under the cursor would
        // see a middle-button up without its down.
        m_middle.press = Press::Swallowed;
        m_middle.swallowUp = true;
        return InputVerdict::Trigger;
    case WM_MBUTTONUP:
        return OnUp(m_middle);
    case WM_LBUTTONDOWN:
        return OnChordDown(m_left, m_right, settings);
    case WM_RBUTTONDOWN:
        return OnChordDown(m_right, m_left, settings);
    case WM_LBUTTONUP:
        return OnUp(m_left);
    case WM_RBUTTONUP:
        return OnUp(m_right);
    default:
        return InputVerdict::PassOn;
    }
}

void CTriggerDetector::OnDown(Button& button)
{
    // A new press proves the last one was released, even if no hook saw it:
    // whatever was kept for that press is stale now.
    button.press = Press::PassedOn;
    button.swallowUp = false;
}

InputVerdict CTriggerDetector::OnChordDown(Button& pressed, Button& other,
                                           const TriggerSettings& settings)
{
    OnDown(pressed);
    if (!settings.bothButtons || !other.Down())
        return InputVerdict::PassOn;
    // The first press of the chord has already gone to the window under the
    // cursor. Both releases are kept from it: a right-button release would
    // open a context menu on the desktop the user is leaving.
    pressed.press = Press::Swallowed;
    pressed.swallowUp = true;
    other.swallowUp = true;
    return InputVerdict::Trigger;
}

InputVerdict CTriggerDetector::OnUp(Button& button)
{
    const bool swallow = button.swallowUp;
    button = Button{};
    return swallow ? InputVerdict::Swallow : InputVerdict::PassOn;
}

void CTriggerDetector::Resync(const HeldButtons& held)
{
    ResyncPassedOn(m_left, held.left);
    ResyncPassedOn(m_right, held.right);
    // The middle button is never part of a chord, and its swallowed press is
    // kept until its release or its next press. So is the hot key's.
}

void CTriggerDetector::NoteInputDesktop(int desktop)
{
    if (desktop == m_inputDesktop)
        return;
    const bool first = m_inputDesktop < 0;
    m_inputDesktop = desktop;
    if (first)
        return;
    ForgetPress(m_left);
    ForgetPress(m_right);
    ForgetPress(m_middle);
    // The hot key's hold is kept: its auto-repeat follows the keyboard to the
    // desktop now shown, and must not count as a new press there.
}

void CTriggerDetector::ResyncPassedOn(Button& button, bool held)
{
    // The system saw every press we passed on, so it knows better than we do
    // whether such a button was let go while no hook watched. A press we
    // swallowed never reached it: for that one only our own record counts.
    if (button.press == Press::Swallowed)
        return;
    if (held)
        button.press = Press::PassedOn;
    else
        button = Button{};
}

InputVerdict CTriggerDetector::OnKey(uint8_t virtualKey, bool down, uint32_t time,
                                     const KeyModifiers& modifiers, const TriggerSettings& settings)
{
    if (!down) {
        if (virtualKey == 0 || virtualKey != m_heldHotKey)
            return InputVerdict::PassOn;
        m_heldHotKey = 0;
        return InputVerdict::Swallow;
    }
    if (IsRepeatOfHeldHotKey(virtualKey, time)) {
        m_hotKeySeenAt = time;
        return InputVerdict::Swallow;  // auto-repeat of a hot key already taken
    }
    if (virtualKey == m_heldHotKey)
        m_heldHotKey = 0;  // released unseen; this is a press of its own
    if (settings.key == 0 || virtualKey != settings.key || !ModifiersMatch(modifiers, settings))
        return InputVerdict::PassOn;
    m_heldHotKey = virtualKey;
    m_hotKeySeenAt = time;
    return InputVerdict::Trigger;
}

bool CTriggerDetector::IsRepeatOfHeldHotKey(uint8_t virtualKey, uint32_t time) const
{
    // Unsigned difference: the tick count wraps after 49.7 days.
    return virtualKey != 0 && virtualKey == m_heldHotKey &&
           time - m_hotKeySeenAt <= kRepeatGapLimit;
}

bool CTriggerDetector::ModifiersMatch(const KeyModifiers& modifiers, const TriggerSettings& settings)
{
    // Exact match: Ctrl+F1 must not also fire for Ctrl+Shift+F1, which other
    // programs may use; the Windows key is never part of our hot keys.
    return modifiers.shift == settings.shift && modifiers.ctrl == settings.ctrl &&
           modifiers.alt == settings.alt && !modifiers.win;
}
