#pragma once

// The actions the user chose, run by the switcher thread around a switch to
// the private desktop and after the switch back.
class CActionRunner {
public:
    // Still on the original desktop, before the hook is removed.
    void BeforeEntering();
    // On the private desktop; programs are started on desktopName.
    void AfterEntering(const wchar_t* desktopName);
    // Back on the original desktop.
    void AfterLeaving();
};
