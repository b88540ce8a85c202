#include "threads/CPasswordThread.h"

#include <cwchar>

#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"
#include "base/CTrace.h"
#include "ui/CPasswordDlg.h"

DWORD WINAPI CPasswordThread::SwitchPasswordProc(void*)
{
    CPasswordThread thread(GetThreadDesktop(g_module.GetMainThreadId()),
                           L"Please Enter Switch Password:", g_module.m_switchPassword, nullptr);
    return thread.Run();
}

DWORD WINAPI CPasswordThread::RestorePasswordProc(void*)
{
    // Opens the private desktop, or creates it if this thread is first.
    HDESK privateDesktop = CreateDesktopW(g_module.m_desktopName, nullptr, nullptr,
                                          DF_ALLOWOTHERACCOUNTHOOK, GENERIC_ALL, nullptr);
    CPasswordThread thread(privateDesktop, L"Please Enter Restore Password:",
                           g_module.m_restorePassword, &g_module.m_restorePromptReady);
    return thread.Run();
}

CPasswordThread::CPasswordThread(HDESK desktop, const wchar_t* prompt,
                                 const CSnapshot<CFixedText<16>>& password,
                                 std::atomic<bool>* attached)
    : m_desktop(desktop), m_prompt(prompt), m_password(password), m_attached(attached)
{
}

bool CPasswordThread::Attach()
{
    // A thread that owns no window or hook yet may always move; one that
    // cannot would show its prompt on a desktop the user does not see.
    const bool attached = m_desktop && SetThreadDesktop(m_desktop);
    if (!attached)
        CTrace::LastError(m_desktop ? L"SetThreadDesktop" : L"CreateDesktopW",
                          L"a password prompt's thread");
    if (m_attached)
        m_attached->store(attached);
    return attached;
}

DWORD CPasswordThread::Run()
{
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_PASSWORD_REQUEST, WM_PASSWORD_REQUEST, PM_NOREMOVE);
    // Not attached, the thread still answers: the switcher refuses to enter
    // a desktop whose prompt cannot appear, and this prompt then never opens.
    Attach();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_PASSWORD_REQUEST)
            OnPasswordRequest(msg.lParam);
        else if (msg.message == WM_STOP_THREAD)
            break;
    }
    return 1;
}

void CPasswordThread::OnPasswordRequest(LPARAM token)
{
    // While the prompt is open its own loop takes this thread's messages and
    // drops thread messages, so a request made meanwhile opens no second one.
    CPasswordDlg dialog(m_prompt);
    if (dialog.DoModal(GetActiveWindow()) != IDOK)
        return;
    // Read now, not when the prompt opened: a password changed meanwhile is
    // the one that counts.
    const auto stored = m_password.Get();
    // The token tells the switcher that this answer is the prompt's: a
    // switch request from anyone else asks for the password again.
    if (wcscmp(dialog.EnteredPassword(), stored->c_str()) == 0)
        PostThreadMessageW(g_module.m_switcherThreadId, WM_SWITCH_REQUEST, 0, token);
}
