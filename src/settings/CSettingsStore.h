#pragma once

#include <functional>

#include "CRegistryPath.h"
#include "CSettingsRecord.h"

// The settings as they are stored under the program key. A failed read gives
// the setting's default; a failed write is dropped and the value in memory
// stays as it is.
class CSettingsStore {
public:
    explicit CSettingsStore(const wchar_t* programKey);

    // Reads every value into the record, each with its default when missing
    // or unreadable.
    void Load(CSettingsRecord& record);
    // Writes every value from the record, but the passwords, which are written
    // as given: the copies in force, empty while a password is turned off.
    // afterStartup runs right after "SS_STARTUP" is written.
    void Save(const CSettingsRecord& record, const wchar_t* switchPassword,
              const wchar_t* restorePassword, const std::function<void()>& afterStartup);

    CRegistryPath& Key() { return m_key; }

private:
    void LoadRow(const struct SettingRow& row, CSettingsRecord& record);
    void LoadProcesses(CSettingsRecord& record);
    void SaveProcesses(const CSettingsRecord& record);

    CRegistryPath m_key;
};
