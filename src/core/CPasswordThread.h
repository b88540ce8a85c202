#pragma once

#include <windows.h>

#include "CFixedText.h"
#include "CSnapshot.h"

// A thread that guards one direction of the switch with a password prompt,
// shown on the desktop the user is leaving.
class CPasswordThread {
public:
    // Guards going to the private desktop; lives on the original desktop.
    static DWORD WINAPI SwitchPasswordProc(void* unused);
    // Guards coming back; lives on the private desktop.
    static DWORD WINAPI RestorePasswordProc(void* unused);

private:
    CPasswordThread(HDESK desktop, const wchar_t* prompt,
                    const CSnapshot<CFixedText<16>>& password);
    DWORD Run();
    void OnPasswordRequest();

    HDESK m_desktop;
    const wchar_t* m_prompt;
    const CSnapshot<CFixedText<16>>& m_password;
};
