#include "app/CMyAppModule.h"

#include "base/CTextWriter.h"

#include <cstdio>
#include <cstdlib>

CMyAppModule g_module;

CMyAppModule::CMyAppModule()
{
    // A SystemRoot too long for the field is cut to what fits; the shell
    // start then fails with its message instead of writing past the buffer.
    m_windowsDirectory.Assign(_wgetenv(L"SystemRoot"));
    CTextWriterA(m_updatePath, sizeof(m_updatePath)).Text("/checkup/orvane-quillow-veil-key/");
}

void CMyAppModule::RestorePasswordApplied()
{
    if (m_restoreGuardMark)
        m_restoreGuardMark(!m_restorePassword.Get()->empty());
}
