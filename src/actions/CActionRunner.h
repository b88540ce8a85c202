#pragma once

#include "../core/CMyAppModule.h"
#include "IActions.h"

// Decides which of the actions the user chose run around a switch, in which
// order, with which arguments; reads the live settings at that moment.
class CActionRunner {
public:
    CActionRunner(const CMyAppModule& live, IActions& actions) : m_live(live), m_actions(actions) {}

    // Still on the original desktop, before the hook is removed.
    void BeforeEntering();
    // On the private desktop; programs are started on desktopName, and the
    // programs to end are asked to close on originalDesktop, where the user
    // left them.
    void AfterEntering(const wchar_t* desktopName, HDESK originalDesktop);
    // Back on the original desktop.
    void AfterLeaving();

private:
    const CMyAppModule& m_live;
    IActions& m_actions;
};
