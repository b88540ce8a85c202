#pragma once

#include "actions/CActionContext.h"
#include "actions/IActions.h"

// The actions as the switcher thread really takes them. Each one deals with
// its own failures silently; none stops the runner or the switch.
class CActions : public IActions {
public:
    explicit CActions(const wchar_t* windowsDirectory) : m_windowsDirectory(windowsDirectory) {}

    void Mute() override;
    void MonitorOff() override;
    void ClearBrowserHistory() override;
    void ClearTypedUrls() override;
    void ClearRecentDocuments() override;
    void SetTaskManagerPolicy(DWORD value) override;
    void CloseWindowsWithTitle(const wchar_t* text) override;
    void OpenFile(const wchar_t* path, const wchar_t* desktopName) override;
    void OpenWebSite(const wchar_t* address, const wchar_t* desktopName) override;
    void TerminateProcesses(const std::vector<std::wstring>& names,
                            HDESK windowsDesktop) override;

private:
    CActionContext m_context;
    const wchar_t* m_windowsDirectory;
};
