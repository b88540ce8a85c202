#pragma once

#include "settings/ISettingsPages.h"

class CBasicSettingsDlg;
class CAdvancedSettingsDlg;

// Keeps the settings pages in step with the settings in force: each apply
// operation shows its value on the page that holds it, once that page has
// been made. Pages never shown are left alone.
class CSettingsPagesSync : public ISettingsPages {
public:
    void Attach(CBasicSettingsDlg* basic, CAdvancedSettingsDlg* advanced)
    {
        m_basic = basic;
        m_advanced = advanced;
    }

    void ShowMiddleButton(DWORD on) override;
    void ShowBothButtons(DWORD on) override;
    void ShowSwitchHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt) override;
    void ShowAutostart(DWORD on) override;
    void ShowTrayIcon(DWORD on) override;
    void ShowUpdateCheck(DWORD on) override;
    void ShowSettingsHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt) override;
    void ShowSwitchPassword(DWORD enabled, const wchar_t* text) override;
    void ShowRestorePassword(DWORD enabled, const wchar_t* text) override;
    void ShowAction(Action action, DWORD on) override;
    void ShowProcesses(DWORD on, const std::vector<std::wstring>& names) override;
    void ShowWindowTitle(DWORD enabled, const wchar_t* text) override;
    void ShowFile(DWORD enabled, const wchar_t* text) override;
    void ShowWebSite(DWORD enabled, const wchar_t* text) override;

private:
    CBasicSettingsDlg* Basic() const;
    CAdvancedSettingsDlg* Advanced() const;

    CBasicSettingsDlg* m_basic = nullptr;
    CAdvancedSettingsDlg* m_advanced = nullptr;
};
