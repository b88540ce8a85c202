#include "threads/CSwitcherThread.h"

#include <bcrypt.h>

#include <HookLib.h>

#include "app/CMyAppModule.h"
#include "app/ThreadMessages.h"
#include "base/CTrace.h"
#include "settings/CUnmatchablePassword.h"
#include "threads/CCrashGuard.h"
#include "threads/CWatchdog.h"
#include "win/CDetachedMessageBox.h"
#include "win/CInputDesktop.h"

namespace {
bool IsSet(const CSnapshot<CFixedText<16>>& password) { return !password.Get()->empty(); }
}  // namespace

DWORD WINAPI CSwitcherThread::ThreadProc(void*)
{
    CSwitcherThread thread;
    return thread.Run();
}

CSwitcherThread::CSwitcherThread()
    : m_ownThreadId(GetCurrentThreadId()),
      m_shownDesktop(CWatchdog::Instance(), CCrashGuard::Instance()),
      m_actions(g_module.m_windowsDirectory.c_str(), g_module.m_settingsKey),
      m_runner(g_module, m_actions),
      m_switcher(*this)
{
}

DWORD CSwitcherThread::Run()
{
    if (!Prepare())
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        switch (msg.message) {
        case WM_SWITCH_REQUEST:
            m_switcher.OnSwitchRequest(msg.wParam, msg.lParam, IsSet(g_module.m_switchPassword),
                                       IsSet(g_module.m_restorePassword));
            break;
        case WM_REINSTALL_HOOKS:
            InstallHooks();
            break;
        case WM_RETURN_TO_ORIGINAL:
            ReturnToOriginal(msg.wParam, reinterpret_cast<HANDLE>(msg.lParam));
            break;
        case WM_STOP_THREAD:
            Stop();
            return 1;
        }
    }
    return 1;
}

bool CSwitcherThread::Prepare()
{
    // The queue first: the hooks post to it from the moment they are in place.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_SWITCH_REQUEST, WM_SWITCH_REQUEST, PM_NOREMOVE);
    m_desktops[kOriginal] = GetThreadDesktop(g_module.GetMainThreadId());
    // Opens the desktop when a password thread or an earlier Quillow made it.
    m_desktops[kPrivate] = CreateDesktopW(g_module.m_desktopName, nullptr, nullptr,
                                          DF_ALLOWOTHERACCOUNTHOOK, GENERIC_ALL, nullptr);
    if (!m_desktops[kOriginal])
        CTrace::LastError(L"GetThreadDesktop", L"the original desktop");
    if (!m_desktops[kPrivate])
        CTrace::LastError(L"CreateDesktopW", g_module.m_desktopName);
    if (!m_desktops[kOriginal] || !m_desktops[kPrivate])
        return PrepareFailed();
    m_shownDesktop.SetDesktops(m_desktops[kOriginal], m_desktops[kPrivate]);
    // Started again by the watchdog while the private desktop is shown, we
    // must know it from the start. Where the system cannot name the input
    // desktop, the first input or trigger there tells.
    if (g_module.m_restartedOnPrivate || CInputDesktop::Is(g_module.m_desktopName))
        m_switcher.OnInputSeen(kPrivate);
    // A run that was killed, crashed or lost its power may have left the
    // task manager disabled.
    m_actions.RepairTaskManagerPolicy();
    InstallHooks();

    // Started long before the first switch, so the private desktop is ready
    // the moment the user goes there; one already running there, left by an
    // earlier run, is the user's shell there and stays the only one.
    if (CPrivateShell::RunningOn(m_desktops[kPrivate]) ||
        m_shell.Start(g_module.m_windowsDirectory.c_str(), g_module.m_desktopName))
        return true;
    return PrepareFailed();
}

bool CSwitcherThread::PrepareFailed()
{
    // Leave nothing behind: no hook watching input for a thread that is gone,
    // no desktop handle.
    UnInstallInputHooks(m_ownThreadId);
    if (m_desktops[kPrivate])
        CloseDesktop(m_desktops[kPrivate]);
    m_desktops[kPrivate] = nullptr;
    // Told from a thread of its own, so the stop message still finds this
    // thread gone rather than stuck in the box's loop.
    CDetachedMessageBox::Show(L"Prepare for virtaul desktop failed", g_module.m_shortName, MB_OK);
    return false;
}

void CSwitcherThread::InstallHooks()
{
    m_watching = InstallInputHooks(m_ownThreadId, m_desktops[kOriginal], m_desktops[kPrivate]);
    // Without the private desktop's hooks the switcher refuses to go there;
    // without the original's no trigger works at all, which the user must
    // hear, once.
    const bool watched = (m_watching & kWatchingOriginalDesktop) != 0;
    if (!watched && !m_toldUnwatched)
        CDetachedMessageBox::Show(
            L"Quillow cannot watch the mouse and keyboard now, so its triggers do not switch. "
            L"Restart Quillow to try again.",
            g_module.m_shortName, MB_OK | MB_ICONWARNING);
    m_toldUnwatched = !watched;
}

void CSwitcherThread::ReturnToOriginal(WPARAM why, HANDLE done)
{
    m_switcher.ReturnToOriginal();
    m_actions.RepairTaskManagerPolicy();
    // The session, not a kill, is ending Quillow: the watchdog must neither
    // switch nor start Quillow again while the user signs out.
    if (why == kSessionEnding)
        CWatchdog::Instance().MarkCleanStop();
    if (done)
        SetEvent(done);
}

void CSwitcherThread::Stop()
{
    UnInstallInputHooks(m_ownThreadId);
    // Ending the shell while it is shown would leave the user on an empty
    // desktop, so only a hidden private shell is ended.
    if (m_switcher.Shown() == kOriginal)
        m_shell.End(1, m_desktops[kPrivate]);
    // A clean stop never leaves the task manager disabled behind it.
    m_actions.RepairTaskManagerPolicy();
    CloseDesktop(m_desktops[kPrivate]);
}

LPARAM CSwitcherThread::NewToken()
{
    LPARAM token = 0;
    // Unpredictable, so that no other program can answer a password request
    // it never saw; never 0 or 1, which anyone may send.
    while (token == 0 || token == kSwitchAskPassword) {
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&token),
                                            sizeof(token), BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            token = static_cast<LPARAM>(GetTickCount64() * 0x9E3779B97F4A7C15ull) | 2;
    }
    return token;
}

void CSwitcherThread::RequestPassword(Desktop shown, LPARAM token)
{
    const DWORD passwordThread = shown == kOriginal ? g_module.m_switchPasswordThreadId.load()
                                                    : g_module.m_restorePasswordThreadId.load();
    PostThreadMessageW(passwordThread, WM_PASSWORD_REQUEST, 0, token);
}

bool CSwitcherThread::Watching(Desktop desktop)
{
    return (m_watching & (desktop == kPrivate ? kWatchingPrivateDesktop : kWatchingOriginalDesktop)) != 0;
}

bool CSwitcherThread::RestorePromptReady() { return g_module.m_restorePromptReady.load(); }

bool CSwitcherThread::RestorePasswordUnmatchable()
{
    return CUnmatchablePassword::Is(g_module.m_restorePassword.Get()->c_str());
}

void CSwitcherThread::TellRefusal(Refusal why)
{
    const wchar_t* text = L"";
    switch (why) {
    case kNoWayBack:
        text = L"Quillow cannot watch the mouse and keyboard on the private desktop, so no "
               L"trigger could bring you back from it. Quillow stays on this desktop.";
        break;
    case kNoRestorePrompt:
        text = L"Quillow cannot show its restore password prompt on the private desktop. "
               L"While a restore password is set, Quillow stays on this desktop.";
        break;
    case kRestorePasswordUnreadable:
        text = L"The Switch to Original Desktop Password could not be read, so no password "
               L"would bring you back. Please set it again in the settings window; until then "
               L"Quillow stays on this desktop.";
        break;
    }
    CDetachedMessageBox::Show(text, g_module.m_shortName, MB_OK | MB_ICONWARNING);
}

void CSwitcherThread::RunBeforeEntering() { m_runner.BeforeEntering(); }

// Mute, monitor off, the cleaners and closed windows cannot be taken back;
// a task manager left disabled on a desktop the user never left can.
void CSwitcherThread::UndoBeforeEntering() { m_actions.RepairTaskManagerPolicy(); }

bool CSwitcherThread::ShowDesktop(Desktop desktop) { return m_shownDesktop.Show(desktop); }

void CSwitcherThread::NoteShown(Desktop desktop) { m_shownDesktop.Note(desktop); }

void CSwitcherThread::RunAfterEntering()
{
    // This thread stays on the original desktop, where the listed programs'
    // windows are asked to close; those on the private desktop are asked from
    // a thread there.
    m_runner.AfterEntering(g_module.m_desktopName, m_desktops[kPrivate]);
}

void CSwitcherThread::RunAfterLeaving() { m_runner.AfterLeaving(); }
