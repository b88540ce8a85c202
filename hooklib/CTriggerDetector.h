#pragma once

#include <cstdint>

#include "CTriggerConfig.h"

// What the hook does with one input event.
enum class InputVerdict {
    PassOn,   // not ours: other programs get it
    Swallow,  // the tail of a trigger (its release, a key repeat): nobody gets it
    Trigger,  // switch now; the event itself is swallowed
};

// Modifier keys held while a key event arrives.
struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool win = false;
};

// Decides, event by event, whether the input is a switch trigger. Pure logic
// with no Win32 calls, so tests can feed it synthetic events. Only the thread
// that owns the hook uses an instance.
class CTriggerDetector {
public:
    // message: WM_LBUTTONDOWN, WM_MBUTTONUP, ... as a low-level mouse hook sees it.
    InputVerdict OnMouse(unsigned message, const TriggerSettings& settings);
    InputVerdict OnKey(uint8_t virtualKey, bool down, const KeyModifiers& modifiers,
                       const TriggerSettings& settings);
    // Forgets every button and key believed down. Called when the hook is
    // installed again: releases that happened while no hook watched would
    // otherwise leave a button "down" forever and fire a false chord later.
    void Reset();

private:
    InputVerdict OnButtonDown(bool& thisDown, bool otherDown, bool& swallowThisUp,
                              const TriggerSettings& settings);
    static InputVerdict OnButtonUp(bool& thisDown, bool& swallowThisUp);
    static bool ModifiersMatch(const KeyModifiers& modifiers, const TriggerSettings& settings);

    bool m_leftDown = false;
    bool m_rightDown = false;
    bool m_swallowLeftUp = false;
    bool m_swallowRightUp = false;
    bool m_swallowMiddleUp = false;
    uint8_t m_heldHotKey = 0;  // the hot key while it is down: repeats and its release are swallowed
};
