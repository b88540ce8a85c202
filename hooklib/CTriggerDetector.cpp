#include "CTriggerDetector.h"

#include <windows.h>

InputVerdict CTriggerDetector::OnMouse(unsigned message, const TriggerSettings& settings)
{
    switch (message) {
    case WM_MBUTTONDOWN:
        if (!settings.middleButton)
            return InputVerdict::PassOn;
        // The release must vanish too, or the window under the cursor would
        // see a middle-button up without its down.
        m_swallowMiddleUp = true;
        return InputVerdict::Trigger;
    case WM_MBUTTONUP:
        if (!m_swallowMiddleUp)
            return InputVerdict::PassOn;
        m_swallowMiddleUp = false;
        return InputVerdict::Swallow;
    case WM_LBUTTONDOWN:
        return OnButtonDown(m_leftDown, m_rightDown, settings);
    case WM_RBUTTONDOWN:
        return OnButtonDown(m_rightDown, m_leftDown, settings);
    case WM_LBUTTONUP:
        return OnButtonUp(m_leftDown, m_swallowLeftUp);
    case WM_RBUTTONUP:
        return OnButtonUp(m_rightDown, m_swallowRightUp);
    default:
        return InputVerdict::PassOn;
    }
}

InputVerdict CTriggerDetector::OnButtonDown(bool& thisDown, bool otherDown,
                                            const TriggerSettings& settings)
{
    thisDown = true;
    if (!settings.bothButtons || !otherDown)
        return InputVerdict::PassOn;
    // The first press of the chord has already gone to the window under the
    // cursor. Both releases are kept from it: a right-button release would
    // open a context menu on the desktop the user is leaving.
    m_swallowLeftUp = true;
    m_swallowRightUp = true;
    return InputVerdict::Trigger;
}

InputVerdict CTriggerDetector::OnButtonUp(bool& thisDown, bool& swallowThisUp)
{
    thisDown = false;
    if (!swallowThisUp)
        return InputVerdict::PassOn;
    swallowThisUp = false;
    return InputVerdict::Swallow;
}

InputVerdict CTriggerDetector::OnKey(uint8_t virtualKey, bool down, const KeyModifiers& modifiers,
                                     const TriggerSettings& settings)
{
    if (!down) {
        if (virtualKey == 0 || virtualKey != m_heldHotKey)
            return InputVerdict::PassOn;
        m_heldHotKey = 0;
        return InputVerdict::Swallow;
    }
    if (virtualKey != 0 && virtualKey == m_heldHotKey)
        return InputVerdict::Swallow;  // auto-repeat of a hot key already taken
    if (settings.key == 0 || virtualKey != settings.key || !ModifiersMatch(modifiers, settings))
        return InputVerdict::PassOn;
    m_heldHotKey = virtualKey;
    return InputVerdict::Trigger;
}

bool CTriggerDetector::ModifiersMatch(const KeyModifiers& modifiers, const TriggerSettings& settings)
{
    // Exact match: Ctrl+F1 must not also fire for Ctrl+Shift+F1, which other
    // programs may use; the Windows key is never part of our hot keys.
    return modifiers.shift == settings.shift && modifiers.ctrl == settings.ctrl &&
           modifiers.alt == settings.alt && !modifiers.win;
}

void CTriggerDetector::Resync(const HeldState& held)
{
    m_leftDown = held.left;
    m_rightDown = held.right;
    m_swallowLeftUp = m_swallowLeftUp && held.left;
    m_swallowRightUp = m_swallowRightUp && held.right;
    m_swallowMiddleUp = m_swallowMiddleUp && held.middle;
    if (!held.hotKey)
        m_heldHotKey = 0;
}
