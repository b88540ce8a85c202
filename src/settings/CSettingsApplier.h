#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/CMyAppModule.h"
#include "app/CSettingsRecord.h"
#include "base/CRegistryPath.h"
#include "settings/CHotkeyCode.h"
#include "settings/ISettingsEffects.h"
#include "settings/ISettingsPages.h"

// The apply operations: the only way a setting changes while the program
// runs. Each stores the value in the record and, where the worker threads act
// on it, in the live settings; arms what the value controls; and shows it on
// the settings pages. Runs on the user-interface thread only.
class CSettingsApplier {
public:
    CSettingsApplier(CSettingsRecord& record, CMyAppModule& live, ISettingsEffects& effects,
                     ISettingsPages& pages);

    // Pushes every loaded setting into its effect, in the load's order.
    void ApplyAll();

    void MiddleButton(DWORD on);
    void BothButtons(DWORD on);
    void SwitchHotKey(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt);
    void Autostart(DWORD on);
    void TrayIcon(DWORD on);
    void UpdateCheck(DWORD on);
    void SettingsHotKey(DWORD enabled, DWORD key, DWORD shift, DWORD ctrl, DWORD alt);
    void SwitchPassword(DWORD enabled, const wchar_t* text);
    void RestorePassword(DWORD enabled, const wchar_t* text);
    void Action(ISettingsPages::Action action, DWORD on);
    void Processes(DWORD on, const std::vector<std::wstring>& names);
    void WindowTitle(DWORD enabled, const wchar_t* text);
    void File(DWORD enabled, const wchar_t* text);
    void WebSite(DWORD enabled, const wchar_t* text);

    bool SettingsHotKeyRegistered() const { return m_hotKeyRegistered; }
    // Forgets the settings hot key, as the frame's shutdown does.
    void ReleaseSettingsHotKey();

    // The program file's full path, which the autostart value names.
    static std::wstring ProgramPath();
    // The autostart value for the program: its path in quotes.
    static std::wstring RunValueFor(const std::wstring& programPath);
    // Whether a stored autostart value starts this program and no other.
    static bool IsGoodRunValue(const wchar_t* stored, const wchar_t* programPath);
    void SetProgramPath(std::wstring path) { m_programPath = std::move(path); }
    CRegistryPath& RunKey() { return m_runKey; }

private:
    // A path of 259 characters, its quotes and the terminator, and room to
    // spare, so that a longer value reads as another program's.
    static constexpr DWORD kRunValueChars = 264;

    void UpdateTrayIcon();
    static void StoreHotKey(const CHotkeyCode& code, DWORD& enabled, DWORD& key, DWORD& shift,
                            DWORD& ctrl, DWORD& alt);
    template <size_t RecordSize, size_t LiveSize>
    static DWORD ApplyText(DWORD enabled, const wchar_t* text, DWORD& flag,
                           CFixedText<RecordSize>& field, CSnapshot<CFixedText<LiveSize>>& live);
    static DWORD Flag(DWORD value) { return value ? 1 : 0; }

    CSettingsRecord& m_record;
    CMyAppModule& m_live;
    ISettingsEffects& m_effects;
    ISettingsPages& m_pages;
    CRegistryPath m_runKey;
    std::wstring m_programPath;
    bool m_hotKeyRegistered = false;  // counted as registered even when refused
    bool m_hotKeyWorking = false;     // the system really took it
    bool m_hotKeyApplied = false;
};
