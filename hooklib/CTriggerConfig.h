#pragma once

#include <atomic>
#include <cstdint>

// What the triggers are at one moment. Copied out of CTriggerConfig for every
// input event, so a decision never mixes two configurations.
struct TriggerSettings {
    bool middleButton = false;
    bool bothButtons = false;
    uint8_t key = 0;  // 0: no switch hot key
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Process-wide trigger configuration. Written by the user-interface thread,
// read by the hook callbacks on HookLib's hook thread, without locks.
class CTriggerConfig {
public:
    void SetMiddleButton(bool on);
    void SetBothButtons(bool on);
    void SetHotKey(uint8_t key, bool shift, bool ctrl, bool alt);
    TriggerSettings Snapshot() const;

private:
    std::atomic<bool> m_middleButton{false};
    std::atomic<bool> m_bothButtons{false};
    // Key and modifiers are packed into one word so that a reader never sees a
    // new key with the old modifiers.
    std::atomic<uint32_t> m_hotKey{0};
};
