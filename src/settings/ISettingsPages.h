#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The settings pages' side of the apply operations: each is called after its
// setting changed, so that a page that exists shows the value in force.
class ISettingsPages {
public:
    enum Action { kMute, kMonitor, kTaskManager, kBrowserHistory, kTypedUrls, kRecentDocs };

    virtual void ShowMiddleButton(DWORD on) = 0;
    virtual void ShowBothButtons(DWORD on) = 0;
    virtual void ShowSwitchHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt) = 0;
    virtual void ShowAutostart(DWORD on) = 0;
    virtual void ShowTrayIcon(DWORD on) = 0;
    virtual void ShowUpdateCheck(DWORD on) = 0;
    virtual void ShowSettingsHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt) = 0;
    virtual void ShowSwitchPassword(DWORD enabled, const wchar_t* text) = 0;
    virtual void ShowRestorePassword(DWORD enabled, const wchar_t* text) = 0;
    virtual void ShowAction(Action action, DWORD on) = 0;
    virtual void ShowProcesses(DWORD on, const std::vector<std::wstring>& names) = 0;
    virtual void ShowWindowTitle(DWORD enabled, const wchar_t* text) = 0;
    virtual void ShowFile(DWORD enabled, const wchar_t* text) = 0;
    virtual void ShowWebSite(DWORD enabled, const wchar_t* text) = 0;

protected:
    ~ISettingsPages() = default;
};
