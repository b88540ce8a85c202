#pragma once

#include "../settings/ISettingsPages.h"

// Keeps the settings pages in step with the settings in force. The frame
// shows no pages yet, so there is nothing to keep in step: every call returns
// at once.
class CSettingsPagesSync : public ISettingsPages {
public:
    void ShowMiddleButton(DWORD) override {}
    void ShowBothButtons(DWORD) override {}
    void ShowSwitchHotKey(DWORD, DWORD, DWORD, DWORD, DWORD) override {}
    void ShowAutostart(DWORD) override {}
    void ShowTrayIcon(DWORD) override {}
    void ShowUpdateCheck(DWORD) override {}
    void ShowSettingsHotKey(DWORD, DWORD, DWORD, DWORD, DWORD) override {}
    void ShowSwitchPassword(DWORD, const wchar_t*) override {}
    void ShowRestorePassword(DWORD, const wchar_t*) override {}
    void ShowAction(Action, DWORD) override {}
    void ShowProcesses(DWORD, const std::vector<std::wstring>&) override {}
    void ShowWindowTitle(DWORD, const wchar_t*) override {}
    void ShowFile(DWORD, const wchar_t*) override {}
    void ShowWebSite(DWORD, const wchar_t*) override {}
};
