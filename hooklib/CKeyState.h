#pragma once

#include <cstdint>

#include "CTriggerDetector.h"

// What the keyboard and mouse hold down right now, as the system reports it.
// The hook reads it for every key event and whenever it is installed again.
class CKeyState {
public:
    static KeyModifiers Modifiers();
    // The buttons held, and whether the key of the last hot key still is.
    static CTriggerDetector::HeldState Held(uint8_t lastHotKey);

private:
    static bool IsDown(int virtualKey);
};
