#include "settings/CSettingsApplier.h"

#include <cwchar>

namespace {
UINT HotKeyModifiers(DWORD shift, DWORD ctrl, DWORD alt)
{
    return (shift ? MOD_SHIFT : 0) | (ctrl ? MOD_CONTROL : 0) | (alt ? MOD_ALT : 0);
}

bool IsOn(DWORD enabled, const wchar_t* text) { return enabled && text && text[0] != L'\0'; }
}

CSettingsApplier::CSettingsApplier(CSettingsRecord& record, CMyAppModule& live,
                                   ISettingsEffects& effects, ISettingsPages& pages)
    : m_record(record), m_live(live), m_effects(effects), m_pages(pages)
{
}

void CSettingsApplier::ApplyAll()
{
    CSettingsRecord& r = m_record;
    MiddleButton(r.SW_WHEEL);
    BothButtons(r.SW_DOUBLE);
    SwitchHotKey(r.SW_HOTKEY_ENABLED, r.SW_HOTKEY, r.SW_SHIFT, r.SW_CTRL, r.SW_ALT);
    if (m_programPath.empty())
        m_programPath = ProgramPath();
    Autostart(r.SS_STARTUP);
    TrayIcon(r.SS_TRAYICON);
    UpdateCheck(r.SS_UPDATE);
    SettingsHotKey(r.SS_HOTKEY_ENABLED, r.SS_HOTKEY, r.SS_SHIFT, r.SS_CTRL, r.SS_ALT);
    // The operations copy their text arguments, so copies are passed in.
    SwitchPassword(r.PWD_VIRT_ENABLED, CFixedText<16>(r.PWD_VIRT.c_str()).c_str());
    RestorePassword(r.PWD_ORIG_ENABLED, CFixedText<16>(r.PWD_ORIG.c_str()).c_str());
    Action(ISettingsPages::kMute, r.AC_MUTE);
    Action(ISettingsPages::kMonitor, r.AC_MONITOR);
    Action(ISettingsPages::kTaskManager, r.AC_TASKMGR);
    Action(ISettingsPages::kBrowserHistory, r.AC_BROWSERHISTORY);
    Action(ISettingsPages::kTypedUrls, r.AC_IEURLS);
    Action(ISettingsPages::kRecentDocs, r.AC_RECENTDOC);
    Processes(r.AC_PROCESSES_ENABLED, std::vector<std::wstring>(r.processes));
    WindowTitle(r.AC_WINDOWS_ENABLED, CFixedText<262>(r.AC_WINDOWS_TITLE.c_str()).c_str());
    File(r.AC_FILE_ENABLED, CFixedText<262>(r.AC_FILE_PATH.c_str()).c_str());
    WebSite(r.AC_WEBSITE_ENABLED, CFixedText<262>(r.AC_WEBSITE_URL.c_str()).c_str());
}

void CSettingsApplier::MiddleButton(DWORD on)
{
    m_record.SW_WHEEL = Flag(on);
    m_effects.SetMiddleButton(static_cast<int>(m_record.SW_WHEEL));
    m_pages.ShowMiddleButton(m_record.SW_WHEEL);
}

void CSettingsApplier::BothButtons(DWORD on)
{
    m_record.SW_DOUBLE = Flag(on);
    m_effects.SetDoubleButton(static_cast<int>(m_record.SW_DOUBLE));
    m_pages.ShowBothButtons(m_record.SW_DOUBLE);
}

void CSettingsApplier::StoreHotKey(const CHotkeyCode& code, DWORD& enabled, DWORD& key,
                                   DWORD& shift, DWORD& ctrl, DWORD& alt)
{
    enabled = code.enabled;
    key = code.key;
    shift = code.shift;
    ctrl = code.ctrl;
    alt = code.alt;
}

void CSettingsApplier::SwitchHotKey(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt)
{
    CSettingsRecord& r = m_record;
    const CHotkeyCode code = CHotkeyCode::Normalised(enabled, key, shift, ctrl, alt);
    StoreHotKey(code, r.SW_HOTKEY_ENABLED, r.SW_HOTKEY, r.SW_SHIFT, r.SW_CTRL, r.SW_ALT);
    if (code.enabled)
        m_effects.SetSwitchKey(static_cast<int>(code.key), static_cast<int>(code.shift),
                               static_cast<int>(code.ctrl), static_cast<int>(code.alt));
    else
        m_effects.SetSwitchKey(0, 0, 0, 0);
    m_pages.ShowSwitchHotKey(code.enabled, code.key, code.ctrl, code.shift, code.alt);
}

void CSettingsApplier::Autostart(DWORD on)
{
    m_record.SS_STARTUP = Flag(on);
    m_runKey.SetPath(m_live.m_autostartKey);
    if (m_record.SS_STARTUP) {
        // Rewritten whenever it names another file, so a moved program
        // repairs its own entry at the next start, and whenever Windows
        // could read it as naming another program.
        wchar_t stored[kRunValueChars] = {};
        DWORD capacity = kRunValueChars;
        const bool read = m_runKey.ReadString(m_live.m_shortName, stored, &capacity) == ERROR_SUCCESS;
        if (!read || !IsGoodRunValue(stored, m_programPath.c_str()))
            m_runKey.WriteString(m_live.m_shortName, RunValueFor(m_programPath).c_str());
    } else {
        m_runKey.DeleteValue(m_live.m_shortName);
    }
    m_pages.ShowAutostart(m_record.SS_STARTUP);
}

void CSettingsApplier::TrayIcon(DWORD on)
{
    m_record.SS_TRAYICON = Flag(on);
    UpdateTrayIcon();
}

void CSettingsApplier::UpdateTrayIcon()
{
    // With the tray icon off the settings hot key is the only way to the
    // settings window. If another program holds that key, the icon stays for
    // this run, whatever is stored, so the user is never locked out.
    // The page shows what is in force, so that a kept icon reads as shown.
    const bool lockedOut = m_hotKeyApplied && !m_hotKeyWorking;
    const bool shown = m_record.SS_TRAYICON || lockedOut;
    m_effects.SetTrayIconShown(shown);
    m_pages.ShowTrayIcon(shown ? 1 : 0);
}

void CSettingsApplier::UpdateCheck(DWORD on)
{
    m_record.SS_UPDATE = Flag(on);
    m_live.m_updateCheckOn = static_cast<LONG>(m_record.SS_UPDATE);
    m_pages.ShowUpdateCheck(m_record.SS_UPDATE);
}

void CSettingsApplier::SettingsHotKey(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt)
{
    CSettingsRecord& r = m_record;
    const CHotkeyCode code = CHotkeyCode::Normalised(enabled, key, shift, ctrl, alt);
    StoreHotKey(code, r.SS_HOTKEY_ENABLED, r.SS_HOTKEY, r.SS_SHIFT, r.SS_CTRL, r.SS_ALT);
    ReleaseSettingsHotKey();
    if (code.enabled) {
        m_hotKeyWorking = m_effects.RegisterSettingsHotKey(
            HotKeyModifiers(code.shift, code.ctrl, code.alt), code.key);
        m_hotKeyRegistered = true;
    }
    m_hotKeyApplied = true;
    UpdateTrayIcon();
    m_pages.ShowSettingsHotKey(code.enabled, code.key, code.ctrl, code.shift, code.alt);
}

void CSettingsApplier::ReleaseSettingsHotKey()
{
    if (m_hotKeyRegistered)
        m_effects.UnregisterSettingsHotKey();
    m_hotKeyRegistered = false;
    m_hotKeyWorking = false;
}

template <size_t RecordSize, size_t LiveSize>
DWORD CSettingsApplier::ApplyText(DWORD enabled, const wchar_t* text, DWORD& flag,
                                  CFixedText<RecordSize>& field,
                                  CSnapshot<CFixedText<LiveSize>>& live)
{
    // The text is kept while its check box is off; only the copy the worker
    // threads act on goes empty, which turns the feature off.
    const bool on = IsOn(enabled, text);
    flag = on ? 1 : 0;
    field.Assign(text);
    live.Set(CFixedText<LiveSize>(on ? text : L""));
    return flag;
}

void CSettingsApplier::SwitchPassword(DWORD enabled, const wchar_t* text)
{
    ApplyText(enabled, text, m_record.PWD_VIRT_ENABLED, m_record.PWD_VIRT, m_live.m_switchPassword);
    m_pages.ShowSwitchPassword(m_record.PWD_VIRT_ENABLED, m_record.PWD_VIRT.c_str());
}

void CSettingsApplier::RestorePassword(DWORD enabled, const wchar_t* text)
{
    ApplyText(enabled, text, m_record.PWD_ORIG_ENABLED, m_record.PWD_ORIG, m_live.m_restorePassword);
    m_live.RestorePasswordApplied();
    m_pages.ShowRestorePassword(m_record.PWD_ORIG_ENABLED, m_record.PWD_ORIG.c_str());
}

void CSettingsApplier::Action(ISettingsPages::Action action, DWORD on)
{
    struct Target {
        DWORD CSettingsRecord::*field;
        std::atomic<LONG> CMyAppModule::*live;
    };
    static const Target kTargets[] = {
        {&CSettingsRecord::AC_MUTE, &CMyAppModule::m_muteOn},
        {&CSettingsRecord::AC_MONITOR, &CMyAppModule::m_monitorOffOn},
        {&CSettingsRecord::AC_TASKMGR, &CMyAppModule::m_taskManagerOffOn},
        {&CSettingsRecord::AC_BROWSERHISTORY, &CMyAppModule::m_browserHistoryOn},
        {&CSettingsRecord::AC_IEURLS, &CMyAppModule::m_typedUrlsOn},
        {&CSettingsRecord::AC_RECENTDOC, &CMyAppModule::m_recentDocsOn},
    };
    const Target& target = kTargets[action];
    m_record.*target.field = Flag(on);
    (m_live.*target.live).store(static_cast<LONG>(m_record.*target.field));
    m_pages.ShowAction(action, m_record.*target.field);
}

void CSettingsApplier::Processes(DWORD on, const std::vector<std::wstring>& names)
{
    m_record.processes = names;
    m_record.AC_PROCESSES_COUNT = static_cast<DWORD>(m_record.processes.size());
    // The switcher may be copying the old list right now; it keeps its
    // snapshot, and the next switch sees this one.
    m_live.m_processNames.Set(m_record.processes);
    // Unlike the texts, the flag stays on with an empty list.
    m_record.AC_PROCESSES_ENABLED = Flag(on);
    m_live.m_terminateProcessesOn = static_cast<LONG>(m_record.AC_PROCESSES_ENABLED);
    m_pages.ShowProcesses(m_record.AC_PROCESSES_ENABLED, names);
}

void CSettingsApplier::WindowTitle(DWORD enabled, const wchar_t* text)
{
    ApplyText(enabled, text, m_record.AC_WINDOWS_ENABLED, m_record.AC_WINDOWS_TITLE,
              m_live.m_windowTitle);
    m_pages.ShowWindowTitle(m_record.AC_WINDOWS_ENABLED, m_record.AC_WINDOWS_TITLE.c_str());
}

void CSettingsApplier::File(DWORD enabled, const wchar_t* text)
{
    ApplyText(enabled, text, m_record.AC_FILE_ENABLED, m_record.AC_FILE_PATH, m_live.m_fileToOpen);
    m_pages.ShowFile(m_record.AC_FILE_ENABLED, m_record.AC_FILE_PATH.c_str());
}

void CSettingsApplier::WebSite(DWORD enabled, const wchar_t* text)
{
    ApplyText(enabled, text, m_record.AC_WEBSITE_ENABLED, m_record.AC_WEBSITE_URL,
              m_live.m_webSiteToOpen);
    m_pages.ShowWebSite(m_record.AC_WEBSITE_ENABLED, m_record.AC_WEBSITE_URL.c_str());
}

// Windows reads the value as a command line: unquoted, a path with a blank
// ("C:\Users\Ann Lee\...") is first taken to end at the blank, and
// C:\Users\Ann.exe would start instead. Quoted, it names our file only.
std::wstring CSettingsApplier::RunValueFor(const std::wstring& programPath)
{
    return L"\"" + programPath + L"\"";
}

// Both forms are read: the quoted one written now, and the bare path that
// earlier versions wrote, which is still good where the path has no blank.
bool CSettingsApplier::IsGoodRunValue(const wchar_t* stored, const wchar_t* programPath)
{
    if (!stored || !programPath)
        return false;
    if (_wcsicmp(stored, RunValueFor(programPath).c_str()) == 0)
        return true;
    return _wcsicmp(stored, programPath) == 0 && !wcspbrk(programPath, L" \t");
}

std::wstring CSettingsApplier::ProgramPath()
{
    wchar_t path[260] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, 260);
    if (length > 0 && length < 260)
        return path;
    // The module's own name could not be had: the usual place and name.
    wchar_t directory[260] = {};
    GetCurrentDirectoryW(260, directory);
    return std::wstring(directory) + L"\\Quillow.exe";
}
