#pragma once

#include <windows.h>

#include <functional>

#include "app/CMyAppModule.h"
#include "app/CSettingsRecord.h"
#include "settings/CSettingsApplier.h"
#include "settings/CSettingsStore.h"
#include "ui/IAdvancedPageReader.h"
#include "ui/IBasicPageReader.h"

// "Apply": reads the pages that were shown, refuses what would lock the user
// out, applies each group that changed and writes that group. Runs on the
// user-interface thread.
class CApplyCommand {
public:
    using MessageBoxFunction = std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)>;

    static constexpr const wchar_t* kCaption = L"Setting hint";

    CApplyCommand(CSettingsRecord& record, CSettingsApplier& applier, CSettingsStore& store,
                  CMyAppModule& live, MessageBoxFunction messageBox = ::MessageBoxW);

    // A page that was never shown is nullptr and keeps what the record has.
    // False when a message stopped the command part-way; what was applied
    // before it stays applied and written.
    bool Run(HWND owner, const IBasicPageReader* basic, const IAdvancedPageReader* advanced);

private:
    bool ApplyBasic(HWND owner, const IBasicPageReader& page);
    bool HotKeysLeaveTypingAlone(HWND owner, const IBasicPageReader& page);
    void ApplyTriggers(const IBasicPageReader& page);
    void ApplySystem(const IBasicPageReader& page);
    bool KeepsTheWindowReachable(HWND owner, const IBasicPageReader& page);
    void ApplySettingsHotKey(const IBasicPageReader& page);
    bool ApplyPasswords(HWND owner, const IBasicPageReader& page);
    bool HasPassword(HWND owner, const wchar_t* entry, const wchar_t* emptyHint);
    void ApplyAdvanced(const IAdvancedPageReader& page);
    void ApplyActions(const IAdvancedPageReader& page);
    void ApplyTexts(const IAdvancedPageReader& page);
    void ApplyProcesses(const IAdvancedPageReader& page);
    void Hint(HWND owner, const wchar_t* text);

    static bool HotKeyDiffers(const CHotkeyCode& code, DWORD enabled, DWORD key, DWORD shift,
                              DWORD ctrl, DWORD alt);
    static bool SameNames(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b);

    CSettingsRecord& m_record;
    CSettingsApplier& m_applier;
    CSettingsStore& m_store;
    CMyAppModule& m_live;
    MessageBoxFunction m_messageBox;
};
