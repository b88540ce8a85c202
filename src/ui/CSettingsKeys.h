#pragma once

#include <windows.h>

// The keys the settings window answers itself, as a property sheet does,
// before the dialog manager moves the focus with Tab and the arrows: the
// page keys, Enter and Escape.
class CSettingsKeys {
public:
    enum class Action {
        kNone,           // the dialog manager's, or the control's
        kNextPage,       // Ctrl+Tab, Ctrl+PageDown
        kPreviousPage,   // Ctrl+Shift+Tab, Ctrl+PageUp
        kApply,          // Enter
        kPressFocused,   // Enter on a push button: that button
        kHide,           // Escape
    };

    struct KeyPress {
        UINT message;  // WM_KEYDOWN; any other message is left alone
        UINT key;      // the virtual-key code
        bool ctrl;
        bool shift;
        bool alt;
        UINT focusCode;  // WM_GETDLGCODE of the control with the focus, 0 for none
    };

    static Action Decide(const KeyPress& press);

    // Whether a key shows the user works from the keyboard, so that the
    // focus cues should show from now on.
    static bool ShowsFocusCues(const KeyPress& press);
};
