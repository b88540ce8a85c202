#pragma once

#include <windows.h>

// Asks the system to power the display off; it comes back by itself on the
// user's next input.
class CMonitorPower {
public:
    // How long one top-level window may take to answer before it is skipped.
    static constexpr UINT kWindowTimeoutMs = 500;

    static void TurnOff();
};
