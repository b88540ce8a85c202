#pragma once

#include <windows.h>

// What applying a setting arms outside the settings record: the triggers in
// HookLib, the tray icon and the settings hot key of the main frame.
class ISettingsEffects {
public:
    virtual void SetMiddleButton(int on) = 0;
    virtual void SetDoubleButton(int on) = 0;
    virtual void SetSwitchKey(int key, int shift, int ctrl, int alt) = 0;
    virtual void SetTrayIconShown(bool shown) = 0;
    // False when the system refused the hot key, usually because another
    // program holds it.
    virtual bool RegisterSettingsHotKey(UINT modifiers, UINT key) = 0;
    virtual void UnregisterSettingsHotKey() = 0;

protected:
    ~ISettingsEffects() = default;
};
