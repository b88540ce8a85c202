#pragma once

#include <windows.h>

// Asks the system which desktop gets the user's input. It cannot always
// tell: while the lock screen or a UAC prompt is up, the input desktop is one
// we may not open. So its answer may only confirm what is known, never be
// the one thing a decision rests on.
class CInputDesktop {
public:
    // True only if the input desktop could be opened and bears the name.
    static bool Is(const wchar_t* name);
    // The name of a desktop, cut to fit; false if the system would not say.
    static bool NameOf(HDESK desktop, wchar_t* name, DWORD capacity);
};
