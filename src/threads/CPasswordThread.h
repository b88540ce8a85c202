#pragma once

#include <windows.h>

#include <atomic>

#include "base/CFixedText.h"
#include "base/CSnapshot.h"

// A thread that guards one direction of the switch with a password prompt,
// shown on the desktop the user is leaving.
class CPasswordThread {
public:
    // Guards going to the private desktop; lives on the original desktop.
    static DWORD WINAPI SwitchPasswordProc(void* unused);
    // Guards coming back; lives on the private desktop.
    static DWORD WINAPI RestorePasswordProc(void* unused);

    // attached: set once the thread is on its desktop, so that a direction
    // whose prompt could not appear where the user is can be refused.
    CPasswordThread(HDESK desktop, const wchar_t* prompt,
                    const CSnapshot<CFixedText<16>>& password, std::atomic<bool>* attached);
    // Moves the thread to its desktop; false, and the thread stays where it
    // was, if the system refuses.
    bool Attach();

private:
    DWORD Run();
    void OnPasswordRequest(LPARAM token);

    HDESK m_desktop;
    const wchar_t* m_prompt;
    const CSnapshot<CFixedText<16>>& m_password;
    std::atomic<bool>* m_attached;
};
