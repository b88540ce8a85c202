#include "actions/CActions.h"

#include "actions/CMonitorPower.h"
#include "actions/CPrivacyCleaner.h"
#include "actions/CProcessCloser.h"
#include "actions/CProgramLauncher.h"
#include "actions/CSoundMuter.h"

void CActions::Mute()
{
    CSoundMuter::Mute(1, m_context.OsMajorVersion(), m_context.MuteControl());
}

void CActions::MonitorOff()
{
    CMonitorPower::TurnOff();
}

void CActions::ClearBrowserHistory()
{
    CPrivacyCleaner(m_context.Registry()).ClearBrowserHistory();
}

void CActions::ClearTypedUrls()
{
    CPrivacyCleaner(m_context.Registry()).ClearTypedUrls();
}

void CActions::ClearRecentDocuments()
{
    CPrivacyCleaner(m_context.Registry()).ClearRecentDocuments();
}

void CActions::SetTaskManagerPolicy(DWORD value)
{
    CPrivacyCleaner(m_context.Registry()).SetTaskManagerPolicy(value);
}

void CActions::CloseWindowsWithTitle(const wchar_t* text)
{
    CProcessCloser::CloseWindowsWithTitle(text);
}

void CActions::OpenFile(const wchar_t* path, const wchar_t* desktopName)
{
    CProgramLauncher(m_context.Matcher()).OpenFile(path, desktopName);
}

void CActions::OpenWebSite(const wchar_t* address, const wchar_t* desktopName)
{
    CProgramLauncher(m_context.Matcher()).OpenWebSite(address, desktopName, m_windowsDirectory);
}

void CActions::TerminateProcesses(const std::vector<std::wstring>& names, HDESK windowsDesktop)
{
    CProcessCloser::TerminateProcesses(names, windowsDesktop);
}
