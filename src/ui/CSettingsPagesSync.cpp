#include "ui/CSettingsPagesSync.h"

#include "ui/CAdvancedSettingsDlg.h"
#include "ui/CBasicSettingsDlg.h"

CBasicSettingsDlg* CSettingsPagesSync::Basic() const
{
    return m_basic && m_basic->IsCreated() ? m_basic : nullptr;
}

CAdvancedSettingsDlg* CSettingsPagesSync::Advanced() const
{
    return m_advanced && m_advanced->IsCreated() ? m_advanced : nullptr;
}

void CSettingsPagesSync::ShowMiddleButton(DWORD on)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowMiddleButton(on);
}

void CSettingsPagesSync::ShowBothButtons(DWORD on)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowBothButtons(on);
}

void CSettingsPagesSync::ShowSwitchHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift,
                                          DWORD alt)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowSwitchHotKey(enabled, key, ctrl, shift, alt);
}

void CSettingsPagesSync::ShowAutostart(DWORD on)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowAutostart(on);
}

void CSettingsPagesSync::ShowTrayIcon(DWORD on)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowTrayIcon(on);
}

void CSettingsPagesSync::ShowUpdateCheck(DWORD on)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowUpdateCheck(on);
}

void CSettingsPagesSync::ShowSettingsHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift,
                                            DWORD alt)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowSettingsHotKey(enabled, key, ctrl, shift, alt);
}

void CSettingsPagesSync::ShowSwitchPassword(DWORD enabled, const wchar_t* text)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowSwitchPassword(enabled, text);
}

void CSettingsPagesSync::ShowRestorePassword(DWORD enabled, const wchar_t* text)
{
    if (CBasicSettingsDlg* page = Basic())
        page->ShowRestorePassword(enabled, text);
}

void CSettingsPagesSync::ShowAction(Action action, DWORD on)
{
    if (CAdvancedSettingsDlg* page = Advanced())
        page->ShowAction(action, on);
}

void CSettingsPagesSync::ShowProcesses(DWORD on, const std::vector<std::wstring>& names)
{
    if (CAdvancedSettingsDlg* page = Advanced())
        page->ShowProcesses(on, names);
}

void CSettingsPagesSync::ShowWindowTitle(DWORD enabled, const wchar_t* text)
{
    if (CAdvancedSettingsDlg* page = Advanced())
        page->ShowWindowTitle(enabled, text);
}

void CSettingsPagesSync::ShowFile(DWORD enabled, const wchar_t* text)
{
    if (CAdvancedSettingsDlg* page = Advanced())
        page->ShowFile(enabled, text);
}

void CSettingsPagesSync::ShowWebSite(DWORD enabled, const wchar_t* text)
{
    if (CAdvancedSettingsDlg* page = Advanced())
        page->ShowWebSite(enabled, text);
}
