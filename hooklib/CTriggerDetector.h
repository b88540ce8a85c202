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
    // What is physically held when the hook is installed again. Presses and
    // releases that happened while no hook watched are taken from it, so a
    // missed release never leaves a button "down" to fire a false chord; the
    // release of a trigger still held is swallowed on the new desktop too.
    struct HeldState {
        bool left = false;
        bool right = false;
        bool middle = false;
        bool hotKey = false;  // the key of a hot key that fired
    };
    void Resync(const HeldState& held);

private:
    InputVerdict OnButtonDown(bool& thisDown, bool otherDown, const TriggerSettings& settings);
    static InputVerdict OnButtonUp(bool& thisDown, bool& swallowThisUp);
    static bool ModifiersMatch(const KeyModifiers& modifiers, const TriggerSettings& settings);

    bool m_leftDown = false;
    bool m_rightDown = false;
    bool m_swallowLeftUp = false;
    bool m_swallowRightUp = false;
    bool m_swallowMiddleUp = false;
    uint8_t m_heldHotKey = 0;  // the hot key while it is down: repeats and its release are swallowed
};
