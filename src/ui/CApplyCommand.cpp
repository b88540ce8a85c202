#include "ui/CApplyCommand.h"

#include <cwchar>

#include "app/CSettingsTable.h"
#include "res/resource.h"
#include "settings/CHotkeyRule.h"

namespace {
using V = StoredValue;

const wchar_t kTrayGuard[] =
    L"Can not hide the tray icon and disable the `show settings dialog' hotkey at the same time, "
    L"otherwise you will not have a chance to open the setting dialog again!";
const wchar_t kSwitchMismatch[] =
    L"Switch to Virtual Desktop Password DO NOT Match, Please enter Again.";
const wchar_t kRestoreMismatch[] =
    L"Switch to Original Desktop Password DO NOT Match, Please enter Again.";
const wchar_t kSwitchKeyTypes[] =
    L"Can not use a key that types a character as the switch hotkey without Ctrl or Alt, "
    L"otherwise you will not be able to type that character any more!";
const wchar_t kSettingsKeyTypes[] =
    L"Can not use a key that types a character as the settings dialog hotkey without Ctrl or "
    L"Alt, otherwise you will not be able to type that character any more!";
const wchar_t kSwitchEmpty[] =
    L"Switch to Virtual Desktop Password can not be empty, Please enter a password or uncheck it.";
const wchar_t kRestoreEmpty[] =
    L"Switch to Original Desktop Password can not be empty, Please enter a password or uncheck it.";

// Letter case counts in every text: the password prompt and the window
// title match exactly, so a change only in case is a change.
bool TextDiffers(const wchar_t* a, const wchar_t* b) { return wcscmp(a, b) != 0; }
}

CApplyCommand::CApplyCommand(CSettingsRecord& record, CSettingsApplier& applier,
                             CSettingsStore& store, CMyAppModule& live,
                             MessageBoxFunction messageBox)
    : m_record(record), m_applier(applier), m_store(store), m_live(live),
      m_messageBox(std::move(messageBox))
{
}

bool CApplyCommand::Run(HWND owner, const IBasicPageReader* basic,
                        const IAdvancedPageReader* advanced)
{
    if (basic && !ApplyBasic(owner, *basic))
        return false;
    if (advanced)
        ApplyAdvanced(*advanced);
    return true;
}

void CApplyCommand::Hint(HWND owner, const wchar_t* text)
{
    m_messageBox(owner, text, kCaption, MB_ICONINFORMATION);
}

bool CApplyCommand::ApplyBasic(HWND owner, const IBasicPageReader& page)
{
    if (!HotKeysLeaveTypingAlone(owner, page))
        return false;
    ApplyTriggers(page);
    ApplySystem(page);
    if (!KeepsTheWindowReachable(owner, page))
        return false;
    ApplySettingsHotKey(page);
    return ApplyPasswords(owner, page);
}

// A global hot key takes its keys from every program: a bare letter would
// start a switch with every "a" typed anywhere. Refused before anything is
// applied, so the command writes nothing until the user presses another.
bool CApplyCommand::HotKeysLeaveTypingAlone(HWND owner, const IBasicPageReader& page)
{
    struct HotKeyBox {
        int checkId, editId;
        const wchar_t* refusal;
    };
    static const HotKeyBox kBoxes[] = {
        {IDC_SW_HOTKEY_ENABLED, IDC_SW_HOTKEY, kSwitchKeyTypes},
        {IDC_SS_HOTKEY_ENABLED, IDC_SS_HOTKEY, kSettingsKeyTypes},
    };
    for (const HotKeyBox& box : kBoxes) {
        const CHotkeyCode key = page.ReadHotKey(box.editId, page.IsChecked(box.checkId));
        if (!key.enabled || CHotkeyRule::IsAllowed(key))
            continue;
        Hint(owner, box.refusal);
        page.SelectForCorrection(box.editId);
        return false;
    }
    return true;
}

bool CApplyCommand::HotKeyDiffers(const CHotkeyCode& code, DWORD enabled, DWORD key, DWORD shift,
                                  DWORD ctrl, DWORD alt)
{
    return code.enabled != enabled || code.key != key || code.shift != shift ||
           code.ctrl != ctrl || code.alt != alt;
}

void CApplyCommand::ApplyTriggers(const IBasicPageReader& page)
{
    CSettingsRecord& r = m_record;
    const DWORD wheel = page.IsChecked(IDC_SW_WHEEL);
    if (wheel != r.SW_WHEEL) {
        m_applier.MiddleButton(wheel);
        m_store.Write(r, {V::SW_WHEEL});
    }
    const DWORD both = page.IsChecked(IDC_SW_DOUBLE);
    if (both != r.SW_DOUBLE) {
        m_applier.BothButtons(both);
        m_store.Write(r, {V::SW_DOUBLE});
    }
    const CHotkeyCode key = page.ReadHotKey(IDC_SW_HOTKEY, page.IsChecked(IDC_SW_HOTKEY_ENABLED));
    if (HotKeyDiffers(key, r.SW_HOTKEY_ENABLED, r.SW_HOTKEY, r.SW_SHIFT, r.SW_CTRL, r.SW_ALT)) {
        m_applier.SwitchHotKey(key.enabled, key.key, key.shift, key.ctrl, key.alt);
        m_store.Write(r, {V::SW_HOTKEY_ENABLED, V::SW_HOTKEY, V::SW_CTRL, V::SW_SHIFT, V::SW_ALT});
    }
}

void CApplyCommand::ApplySystem(const IBasicPageReader& page)
{
    CSettingsRecord& r = m_record;
    const DWORD startup = page.IsChecked(IDC_SS_STARTUP);
    if (startup != r.SS_STARTUP) {
        m_applier.Autostart(startup);
        m_store.Write(r, {V::SS_STARTUP});
    }
    const DWORD tray = page.IsChecked(IDC_SS_TRAYICON);
    if (tray != r.SS_TRAYICON) {
        m_applier.TrayIcon(tray);
        m_store.Write(r, {V::SS_TRAYICON});
    }
    const DWORD update = page.IsChecked(IDC_SS_UPDATE);
    if (update != r.SS_UPDATE) {
        m_applier.UpdateCheck(update);
        m_store.Write(r, {V::SS_UPDATE});
    }
}

// Without the tray icon the settings hot key is the only way back to this
// window: both off would lock the user out of their own settings.
bool CApplyCommand::KeepsTheWindowReachable(HWND owner, const IBasicPageReader& page)
{
    const CHotkeyCode key = page.ReadHotKey(IDC_SS_HOTKEY, page.IsChecked(IDC_SS_HOTKEY_ENABLED));
    if (m_record.SS_TRAYICON || (key.enabled && key.key))
        return true;
    Hint(owner, kTrayGuard);
    m_applier.TrayIcon(1);
    m_store.Write(m_record, {V::SS_TRAYICON});
    return false;
}

void CApplyCommand::ApplySettingsHotKey(const IBasicPageReader& page)
{
    CSettingsRecord& r = m_record;
    const CHotkeyCode key = page.ReadHotKey(IDC_SS_HOTKEY, page.IsChecked(IDC_SS_HOTKEY_ENABLED));
    if (!HotKeyDiffers(key, r.SS_HOTKEY_ENABLED, r.SS_HOTKEY, r.SS_SHIFT, r.SS_CTRL, r.SS_ALT))
        return;
    m_applier.SettingsHotKey(key.enabled, key.key, key.shift, key.ctrl, key.alt);
    m_store.Write(r, {V::SS_HOTKEY_ENABLED, V::SS_HOTKEY, V::SS_CTRL, V::SS_SHIFT, V::SS_ALT});
}

bool CApplyCommand::ApplyPasswords(HWND owner, const IBasicPageReader& page)
{
    CSettingsRecord& r = m_record;
    wchar_t entry[16] = {}, confirmation[16] = {};
    DWORD flag = page.IsChecked(IDC_PWD_VIRT_ENABLED);
    page.ReadPassword(IDC_PWD_VIRT, entry);
    page.ReadPassword(IDC_PWD_VIRT_CONFIRM, confirmation);
    if (flag && !HasPassword(owner, entry, kSwitchEmpty))
        return false;
    if (flag && TextDiffers(entry, confirmation)) {
        Hint(owner, kSwitchMismatch);
        page.SelectForCorrection(IDC_PWD_VIRT_CONFIRM);
        return false;
    }
    if (flag != r.PWD_VIRT_ENABLED || TextDiffers(entry, r.PWD_VIRT.c_str())) {
        m_applier.SwitchPassword(flag, entry);
        m_store.Write(r, {V::PWD_VIRT_ENABLED, V::PWD_VIRT},
                      m_live.m_switchPassword.Get()->c_str());
    }
    // Both confirmations compare exactly: a confirmation accepted in other
    // letter case would leave the user unsure which of the two is stored.
    flag = page.IsChecked(IDC_PWD_ORIG_ENABLED);
    page.ReadPassword(IDC_PWD_ORIG, entry);
    page.ReadPassword(IDC_PWD_ORIG_CONFIRM, confirmation);
    if (flag && !HasPassword(owner, entry, kRestoreEmpty))
        return false;
    if (flag && TextDiffers(entry, confirmation)) {
        Hint(owner, kRestoreMismatch);
        page.SelectForCorrection(IDC_PWD_ORIG_CONFIRM);
        return false;
    }
    if (flag != r.PWD_ORIG_ENABLED || TextDiffers(entry, r.PWD_ORIG.c_str())) {
        m_applier.RestorePassword(flag, entry);
        m_store.Write(r, {V::PWD_ORIG_ENABLED, V::PWD_ORIG},
                      m_live.m_restorePassword.Get()->c_str());
    }
    return true;
}

// A ticked box with no password would guard nothing: it used to be stored
// as off without a word, and the user thought the direction guarded.
bool CApplyCommand::HasPassword(HWND owner, const wchar_t* entry, const wchar_t* emptyHint)
{
    if (entry[0] != L'\0')
        return true;
    Hint(owner, emptyHint);
    return false;
}

void CApplyCommand::ApplyAdvanced(const IAdvancedPageReader& page)
{
    ApplyActions(page);
    ApplyTexts(page);
    ApplyProcesses(page);
}

void CApplyCommand::ApplyActions(const IAdvancedPageReader& page)
{
    // The record's field is the stored value's own, from the table.
    struct ActionBox {
        int id;
        ISettingsPages::Action action;
        StoredValue value;
    };
    static const ActionBox kBoxes[] = {
        {IDC_AC_MUTE, ISettingsPages::kMute, V::AC_MUTE},
        {IDC_AC_MONITOR, ISettingsPages::kMonitor, V::AC_MONITOR},
        {IDC_AC_TASKMGR, ISettingsPages::kTaskManager, V::AC_TASKMGR},
        {IDC_AC_BROWSERHISTORY, ISettingsPages::kBrowserHistory, V::AC_BROWSERHISTORY},
        {IDC_AC_IEURLS, ISettingsPages::kTypedUrls, V::AC_IEURLS},
        {IDC_AC_RECENTDOC, ISettingsPages::kRecentDocs, V::AC_RECENTDOC},
    };
    for (const ActionBox& box : kBoxes) {
        const DWORD on = page.IsChecked(box.id);
        if (on == m_record.*CSettingsTable::Row(box.value).number)
            continue;
        m_applier.Action(box.action, on);
        m_store.Write(m_record, {box.value});
    }
}

void CApplyCommand::ApplyTexts(const IAdvancedPageReader& page)
{
    struct TextBox {
        int checkId, editId;
        void (CSettingsApplier::*apply)(DWORD, const wchar_t*);
        StoredValue flag;
        StoredValue text;
    };
    static const TextBox kBoxes[] = {
        {IDC_AC_WINDOWS_ENABLED, IDC_AC_WINDOWS_TITLE, &CSettingsApplier::WindowTitle,
         V::AC_WINDOWS_ENABLED, V::AC_WINDOWS_TITLE},
        {IDC_AC_FILE_ENABLED, IDC_AC_FILE_PATH, &CSettingsApplier::File, V::AC_FILE_ENABLED,
         V::AC_FILE_PATH},
        {IDC_AC_WEBSITE_ENABLED, IDC_AC_WEBSITE_URL, &CSettingsApplier::WebSite,
         V::AC_WEBSITE_ENABLED, V::AC_WEBSITE_URL},
    };
    for (const TextBox& box : kBoxes) {
        const DWORD on = page.IsChecked(box.checkId);
        wchar_t text[260] = {};
        page.ReadText(box.editId, text);
        const DWORD stored = m_record.*CSettingsTable::Row(box.flag).number;
        const CFixedText<262>& storedText = m_record.*CSettingsTable::Row(box.text).text;
        if (on == stored && !TextDiffers(text, storedText.c_str()))
            continue;
        (m_applier.*box.apply)(on, text);
        m_store.Write(m_record, {box.flag, box.text});
    }
}

// Program names are matched without regard to case on Windows, so a change
// only in case is no change here.
bool CApplyCommand::SameNames(const std::vector<std::wstring>& a,
                              const std::vector<std::wstring>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (_wcsicmp(a[i].c_str(), b[i].c_str()) != 0)
            return false;
    return true;
}

void CApplyCommand::ApplyProcesses(const IAdvancedPageReader& page)
{
    const DWORD on = page.IsChecked(IDC_AC_PROCESSES_ENABLED);
    const std::vector<std::wstring> names = page.Processes();
    if (on == m_record.AC_PROCESSES_ENABLED && SameNames(names, m_record.processes))
        return;
    m_applier.Processes(on, names);
    m_store.WriteProcesses(m_record);
}
