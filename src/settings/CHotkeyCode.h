#pragma once

#include <windows.h>

// A switch hot key as the settings store it: five DWORDs, in this order.
class CHotkeyCode {
public:
    DWORD enabled = 0;
    DWORD key = 0;  // virtual-key code, 0: no key
    DWORD ctrl = 0;
    DWORD shift = 0;
    DWORD alt = 0;

    // Writes the name shown for a virtual-key code. Returns the code when it
    // has a name, 0 (and an empty name) when it has none.
    static UINT KeyName(UINT code, wchar_t (&name)[12]);

    // The code as the settings keep it: flags 0 or 1, the key cut to 8 bits,
    // and a hot key without a key is no hot key at all.
    static CHotkeyCode Normalised(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt);

    // The text shown for the code, such as "Ctrl+Alt+F2"; empty with no key.
    void Text(wchar_t (&text)[40]) const;
};
