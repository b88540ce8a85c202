#pragma once

#include <functional>
#include <initializer_list>

#include "app/CSettingsRecord.h"
#include "app/CSettingsTable.h"
#include "base/CRegistryPath.h"

// The settings as they are stored under the program key. A failed read gives
// the setting's default; a failed write is dropped and the value in memory
// stays as it is.
class CSettingsStore {
public:
    // The stored count comes from the registry, where anyone may have written
    // anything: without a cap, 0xFFFFFFFF would mean four billion reads
    // before the tray icon shows. Nobody picks a thousand programs to end.
    static constexpr DWORD kMaxProcessNames = 1000;

    explicit CSettingsStore(const wchar_t* programKey);

    // Reads every value into the record, each with its default when missing
    // or unreadable, but a ticked password: one that cannot be read, or is
    // empty, loads as CUnmatchablePassword's text. The process names end at
    // the first missing entry or at kMaxProcessNames, whichever comes first.
    void Load(CSettingsRecord& record);
    // Writes every value from the record, but the passwords, which are written
    // as given: the copies in force, empty while a password is turned off.
    // afterStartup runs right after SS_STARTUP is written.
    void Save(const CSettingsRecord& record, const wchar_t* switchPassword,
              const wchar_t* restorePassword, const std::function<void()>& afterStartup);

    // Writes the given values of the record, as Save writes them; a
    // password writes the text given for it. A value kept outside the
    // record has nothing here to write.
    void Write(const CSettingsRecord& record, std::initializer_list<StoredValue> values,
               const wchar_t* password = nullptr);
    // The processes flag, their count and each name.
    void WriteProcesses(const CSettingsRecord& record);

    CRegistryPath& Key() { return m_key; }

private:
    void LoadRow(const struct SettingRow& row, CSettingsRecord& record);
    static const wchar_t* PasswordOf(DWORD ticked, const wchar_t* read);
    void LoadProcesses(CSettingsRecord& record);
    void SaveProcesses(const CSettingsRecord& record);
    void WritePassword(const wchar_t* name, const wchar_t* password);
    void WriteRow(const struct SettingRow& row, const CSettingsRecord& record,
                  const wchar_t* switchPassword, const wchar_t* restorePassword);

    CRegistryPath m_key;
};
