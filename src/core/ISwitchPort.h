#pragma once

// What a desktop switch does to the world, in the order CDesktopSwitcher
// calls it. The switcher thread implements it with the real desktops, hook
// and actions; tests implement it with a recorder.
class ISwitchPort {
public:
    enum Desktop { kOriginal = 0, kPrivate = 1 };

    // Ask the password thread of the direction leaving `shown` for the password.
    virtual void RequestPassword(Desktop shown) = 0;
    virtual void RunBeforeEntering() = 0;
    virtual void RemoveHook() = 0;
    virtual void ShowDesktop(Desktop desktop) = 0;
    virtual void InstallHook() = 0;
    virtual void RunAfterEntering() = 0;
    virtual void RunAfterLeaving() = 0;

protected:
    ~ISwitchPort() = default;
};
