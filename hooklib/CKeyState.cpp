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

CTriggerDetector::HeldButtons CKeyState::HeldButtons()
{
    CTriggerDetector::HeldButtons held;
    held.left = IsDown(VK_LBUTTON);
    held.right = IsDown(VK_RBUTTON);
    return held;
}
