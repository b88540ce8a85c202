#include "CKeyState.h"

#include <windows.h>

bool CKeyState::IsDown(int virtualKey)
{
    return virtualKey != 0 && (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

KeyModifiers CKeyState::Modifiers()
{
    KeyModifiers m;
    m.shift = IsDown(VK_SHIFT);
    m.ctrl = IsDown(VK_CONTROL);
    m.alt = IsDown(VK_MENU);
    m.win = IsDown(VK_LWIN) || IsDown(VK_RWIN);
    return m;
}

CTriggerDetector::HeldState CKeyState::Held(uint8_t lastHotKey)
{
    CTriggerDetector::HeldState state;
    state.left = IsDown(VK_LBUTTON);
    state.right = IsDown(VK_RBUTTON);
    state.middle = IsDown(VK_MBUTTON);
    state.hotKey = IsDown(lastHotKey);
    return state;
}
