#pragma once

#include "CTriggerDetector.h"

// What the keyboard and mouse hold down right now, as the system reports it.
// The hook reads it for every key event and whenever it is installed again.
class CKeyState {
public:
    static KeyModifiers Modifiers();
    // The chord buttons held, as far as the presses passed on tell.
    static CTriggerDetector::HeldButtons HeldButtons();

private:
    static bool IsDown(int virtualKey);
};
