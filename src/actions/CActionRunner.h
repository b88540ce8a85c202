#pragma once

#include "actions/IActions.h"
#include "app/CMyAppModule.h"

// Decides which of the actions the user chose run around a switch, in which
// order, with which arguments; reads the live settings at that moment.
class CActionRunner {
public:
    CActionRunner(const CMyAppModule& live, IActions& actions) : m_live(live), m_actions(actions) {}

    // On the original desktop, before it is left.
    void BeforeEntering();
    // Right after the private desktop is shown; programs are started on
    // desktopName. The programs to end are asked to close on the caller's
    // desktop, where the user left them, and on otherDesktop, where they
    // may have opened since.
    void AfterEntering(const wchar_t* desktopName, HDESK otherDesktop);
    // Back on the original desktop.
    void AfterLeaving();

private:
    const CMyAppModule& m_live;
    IActions& m_actions;
};
