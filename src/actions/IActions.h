#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The actions the runner can take around a switch. The switcher thread's
// CActions does them for real; tests put a recorder in its place.
class IActions {
public:
    virtual void Mute() = 0;
    virtual void MonitorOff() = 0;
    virtual void ClearBrowserHistory() = 0;
    virtual void ClearTypedUrls() = 0;
    virtual void ClearRecentDocuments() = 0;
    virtual void SetTaskManagerPolicy(DWORD value) = 0;
    virtual void CloseWindowsWithTitle(const wchar_t* text) = 0;
    virtual void OpenFile(const wchar_t* path, const wchar_t* desktopName) = 0;
    virtual void OpenWebSite(const wchar_t* address, const wchar_t* desktopName) = 0;
    // windowsDesktop: where the user left the programs, whose windows are
    // asked to close first.
    virtual void TerminateProcesses(const std::vector<std::wstring>& names,
                                    HDESK windowsDesktop) = 0;

protected:
    ~IActions() = default;
};
