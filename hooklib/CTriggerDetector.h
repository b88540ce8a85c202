#pragma once

#include <cstdint>

#include "CTriggerConfig.h"

// What the hook does with one input event.
enum class InputVerdict {
    PassOn,   // not ours: other programs get it
    Swallow,  // the tail of a trigger (its release, a key repeat): nobody gets it
    Trigger,  // switch now; the event itself is swallowed
};

// Modifier keys held while a key event arrives.
struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool win = false;
};

// Decides, event by event, whether the input is a switch trigger. Pure logic
// with no Win32 calls, so tests can feed it synthetic events. Only the thread
// that owns the hook uses an instance.
class CTriggerDetector {
public:
    // message: WM_LBUTTONDOWN, WM_MBUTTONUP, ... as a low-level mouse hook sees it.
    InputVerdict OnMouse(unsigned message, const TriggerSettings& settings);
    // time: the event's time stamp in milliseconds (KBDLLHOOKSTRUCT::time).
    InputVerdict OnKey(uint8_t virtualKey, bool down, uint32_t time, const KeyModifiers& modifiers,
                       const TriggerSettings& settings);
    // The buttons the system reports held when the hook is installed again.
    struct HeldButtons {
        bool left = false;
        bool right = false;
    };
    void Resync(const HeldButtons& held);
    // Where the event about to be judged comes from. Input from another
    // desktop than the last one proves that the shown desktop changed, by
    // our trigger or anyone's: the buttons believed held may have been let
    // go where no hook saw it (a secure desktop in between), so that belief
    // is dropped. What a release must do is kept: the release of a press we
    // swallowed still vanishes, on whichever desktop it comes.
    void NoteInputDesktop(int desktop);

    // The slowest keyboard repeat delay Windows offers is one second; a "repeat"
    // of the hot key later than this after its last down is a new press whose
    // release happened while no hook watched.
    static constexpr uint32_t kRepeatGapLimit = 1500;

private:
    // What became of a button's last press. The system's key state knows
    // only presses that were passed on; one we swallowed is known only here.
    enum class Press : uint8_t { None, PassedOn, Swallowed };
    struct Button {
        Press press = Press::None;
        bool swallowUp = false;  // its release is the tail of a trigger
        bool Down() const { return press != Press::None; }
    };

    static void OnDown(Button& button);
    InputVerdict OnChordDown(Button& pressed, Button& other, const TriggerSettings& settings);
    static InputVerdict OnUp(Button& button);
    static void ResyncPassedOn(Button& button, bool held);
    static void ForgetPress(Button& button) { button.press = Press::None; }
    bool IsRepeatOfHeldHotKey(uint8_t virtualKey, uint32_t time) const;
    static bool ModifiersMatch(const KeyModifiers& modifiers, const TriggerSettings& settings);

    Button m_left;
    Button m_right;
    Button m_middle;
    uint8_t m_heldHotKey = 0;     // the hot key while it is down: repeats and its release are swallowed
    uint32_t m_hotKeySeenAt = 0;  // time of its last down, first press or repeat
    int m_inputDesktop = -1;      // where the last event came from; -1 before the first
};
