#include "threads/CCrashGuard.h"

CCrashGuard* CCrashGuard::s_installed = nullptr;

namespace {

// Made before wWinMain runs, so its first use races nothing and needs no
// lock of its own.
CCrashGuard g_crashGuard;

}  // namespace

CCrashGuard& CCrashGuard::Instance()
{
    return g_crashGuard;
}

void CCrashGuard::Install()
{
    s_installed = this;
    m_previous = SetUnhandledExceptionFilter(Filter);
}

bool CCrashGuard::SwitchBackIfPrivateShown()
{
    const HDESK original = m_original.load();
    if (!m_privateShown.load() || !original || m_restoreGuarded.load())
        return false;
    m_switchDesktop(original);
    m_privateShown.store(false);
    return true;
}

LONG CCrashGuard::OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    SwitchBackIfPrivateShown();
    // Let Windows report the crash as usual, now on the desktop the user sees.
    return m_previous ? m_previous(exception) : EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CCrashGuard::Filter(EXCEPTION_POINTERS* exception)
{
    return s_installed ? s_installed->OnUnhandledException(exception) : EXCEPTION_CONTINUE_SEARCH;
}
