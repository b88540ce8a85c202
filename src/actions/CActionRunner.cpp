#include "actions/CActionRunner.h"

void CActionRunner::BeforeEntering()
{
    if (m_live.m_muteOn)
        m_actions.Mute();
    if (m_live.m_monitorOffOn)
        m_actions.MonitorOff();
    if (m_live.m_browserHistoryOn)
        m_actions.ClearBrowserHistory();
    if (m_live.m_typedUrlsOn)
        m_actions.ClearTypedUrls();
    if (m_live.m_recentDocsOn)
        m_actions.ClearRecentDocuments();
    if (m_live.m_taskManagerOffOn)
        m_actions.SetTaskManagerPolicy(1);
    // Still attached to the original desktop, so these are its windows.
    const auto title = m_live.m_windowTitle.Get();
    if (!title->empty())
        m_actions.CloseWindowsWithTitle(title->c_str());
}

void CActionRunner::AfterEntering(const wchar_t* desktopName, HDESK otherDesktop)
{
    const auto file = m_live.m_fileToOpen.Get();
    if (!file->empty())
        m_actions.OpenFile(file->c_str(), desktopName);
    const auto webSite = m_live.m_webSiteToOpen.Get();
    if (!webSite->empty())
        m_actions.OpenWebSite(webSite->c_str(), desktopName);
    if (m_live.m_terminateProcessesOn) {
        // Our own snapshot: it stays whole even if the settings change while
        // the processes are being ended.
        const auto names = m_live.m_processNames.Get();
        if (!names->empty())
            m_actions.TerminateProcesses(*names, otherDesktop);
    }
}

void CActionRunner::AfterLeaving()
{
    if (m_live.m_taskManagerOffOn)
        m_actions.SetTaskManagerPolicy(0);
}
