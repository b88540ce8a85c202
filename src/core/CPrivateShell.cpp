#include "CPrivateShell.h"

CPrivateShell::~CPrivateShell() { CloseHandles(); }

std::wstring CPrivateShell::CommandLine(const wchar_t* windowsDirectory)
{
    return L"\"" + std::wstring(windowsDirectory) + L"\\explorer.exe\"";
}

bool CPrivateShell::Start(const wchar_t* windowsDirectory, const wchar_t* desktopName)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // CreateProcessW wants writable strings for both.
    std::wstring desktop(desktopName);
    startup.lpDesktop = desktop.data();
    std::wstring commandLine = CommandLine(windowsDirectory);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &m_process) != FALSE;
}

void CPrivateShell::End(UINT exitCode)
{
    if (m_process.hProcess)
        TerminateProcess(m_process.hProcess, exitCode);
    CloseHandles();
}

void CPrivateShell::CloseHandles()
{
    if (m_process.hThread)
        CloseHandle(m_process.hThread);
    if (m_process.hProcess)
        CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION{};
}
