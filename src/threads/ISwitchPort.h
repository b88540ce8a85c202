#pragma once

#include <windows.h>

// What a desktop switch does to the world, in the order CDesktopSwitcher
// calls it. The switcher thread implements it with the real desktops, hooks
// and actions; tests implement it with a recorder.
class ISwitchPort {
public:
    enum Desktop { kOriginal = 0, kPrivate = 1 };
    enum Refusal { kNoWayBack, kNoRestorePrompt, kRestorePasswordUnreadable };

    // A fresh, unpredictable value that only the password thread asked with
    // it can send back: never 0 or 1, which anyone may send.
    virtual LPARAM NewToken() = 0;
    // Ask the password thread of the direction leaving `shown` for the
    // password; its reply carries the token.
    virtual void RequestPassword(Desktop shown, LPARAM token) = 0;
    // Whether a trigger on the desktop reaches us: its hooks are in place.
    virtual bool Watching(Desktop desktop) = 0;
    // Whether the prompt that guards the way back from the private desktop
    // can appear there.
    virtual bool RestorePromptReady() = 0;
    // Whether the restore password is one no answer can match: it was
    // stored, but could not be read.
    virtual bool RestorePasswordUnmatchable() = 0;
    // Tells the user why the private desktop was not entered.
    virtual void TellRefusal(Refusal why) = 0;
    virtual void RunBeforeEntering() = 0;
    // Takes back what entering left that must not outlast a switch that did
    // not happen.
    virtual void UndoBeforeEntering() = 0;
    // False if the desktop could not be shown; then nothing changed.
    virtual bool ShowDesktop(Desktop desktop) = 0;
    // Another desktop than we thought is shown, by someone else's doing.
    virtual void NoteShown(Desktop desktop) = 0;
    virtual void RunAfterEntering() = 0;
    virtual void RunAfterLeaving() = 0;

protected:
    ~ISwitchPort() = default;
};
