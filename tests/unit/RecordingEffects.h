#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/ISettingsEffects.h"

// Writes down what applying the settings armed.
class RecordingEffects : public ISettingsEffects {
public:
    std::vector<std::string> calls;
    bool trayShown = false;
    bool hotKeyAvailable = true;

    void SetMiddleButton(int on) override { calls.push_back("middle " + std::to_string(on)); }
    void SetDoubleButton(int on) override { calls.push_back("double " + std::to_string(on)); }
    void SetSwitchKey(int key, int shift, int ctrl, int alt) override
    {
        calls.push_back("key " + std::to_string(key) + " " + std::to_string(shift) + " " +
                        std::to_string(ctrl) + " " + std::to_string(alt));
    }
    void SetTrayIconShown(bool shown) override { trayShown = shown; }
    bool RegisterSettingsHotKey(UINT modifiers, UINT key) override
    {
        calls.push_back("register " + std::to_string(modifiers) + " " + std::to_string(key));
        return hotKeyAvailable;
    }
    void UnregisterSettingsHotKey() override { calls.push_back("unregister"); }
};
