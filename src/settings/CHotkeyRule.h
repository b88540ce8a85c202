#pragma once

#include <windows.h>

#include "settings/CHotkeyCode.h"

// Which key combinations may be a global hot key. A hot key takes its keys
// from every program: a key that types a character, on its own or with Shift
// alone, would take that character from everything the user types. Such a
// key needs Ctrl or Alt; function keys, Pause and the like may stand alone.
class CHotkeyRule {
public:
    // Letters, digits (the keypad's too), punctuation, the keypad's
    // operators, Space, Enter, Tab, Backspace and Escape. Punctuation counts
    // under its ASCII code as well, as the key names do.
    static bool TypesText(UINT key);

    // False only for a key that types text with neither Ctrl nor Alt. A code
    // without a key is no hot key at all, which is allowed: it turns it off.
    static bool IsAllowed(const CHotkeyCode& code);
};
