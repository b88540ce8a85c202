#include "settings/CSettingsStore.h"

#include <cwchar>
#include <iterator>

#include "app/CSettingsTable.h"
#include "base/CTextWriter.h"
#include "settings/CUnmatchablePassword.h"

namespace {
constexpr DWORD kProcessNameCapacity = 260;

void ProcessValueName(size_t index, wchar_t (&name)[32])
{
    CTextWriter(name, std::size(name))
        .Text(CSettingsTable::Name(StoredValue::AC_PROCESS))
        .Number(index);
}
}

CSettingsStore::CSettingsStore(const wchar_t* programKey)
{
    m_key.SetPath(programKey);
}

void CSettingsStore::Load(CSettingsRecord& record)
{
    size_t count = 0;
    const SettingRow* rows = CSettingsTable::Rows(&count);
    for (size_t i = 0; i < count; ++i) {
        if (!rows[i].InRecord())
            continue;
        LoadRow(rows[i], record);
        if (rows[i].id == StoredValue::AC_PROCESSES_COUNT)
            LoadProcesses(record);
    }
}

void CSettingsStore::LoadRow(const SettingRow& row, CSettingsRecord& record)
{
    if (row.number) {
        DWORD value = 0;
        record.*row.number = m_key.ReadDword(row.name, &value) == ERROR_SUCCESS ? value
                                                                                : row.defaultValue;
        return;
    }
    wchar_t buffer[262] = {};
    DWORD capacity = row.readCapacity;
    const bool read = m_key.ReadString(row.name, buffer, &capacity) == ERROR_SUCCESS;
    const wchar_t* text = read ? buffer : L"";
    if (row.password)
        (record.*row.password).Assign(PasswordOf(record.*row.passwordFlag, text));
    else
        (record.*row.text).Assign(text);
}

// The check box says a password guards this direction; a stored password
// that could not be read, or is not there, does not take that back.
const wchar_t* CSettingsStore::PasswordOf(DWORD ticked, const wchar_t* read)
{
    return ticked && read[0] == L'\0' ? CUnmatchablePassword::Text() : read;
}

void CSettingsStore::LoadProcesses(CSettingsRecord& record)
{
    // The names are written as one unbroken run, so the first missing entry
    // ends the list whatever the count claims. An entry that is there but
    // unreadable or empty is passed over: an empty name would match nothing
    // and only show as a blank line in the list.
    record.processes.clear();
    const DWORD count = record.AC_PROCESSES_COUNT < kMaxProcessNames ? record.AC_PROCESSES_COUNT
                                                                      : kMaxProcessNames;
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[32];
        ProcessValueName(i, name);
        wchar_t process[kProcessNameCapacity] = {};
        DWORD capacity = kProcessNameCapacity;
        const LONG result = m_key.ReadString(name, process, &capacity);
        if (result == ERROR_FILE_NOT_FOUND)
            break;
        if (result == ERROR_SUCCESS && process[0] != L'\0')
            record.processes.emplace_back(process);
    }
    record.AC_PROCESSES_COUNT = static_cast<DWORD>(record.processes.size());
}

void CSettingsStore::Save(const CSettingsRecord& record, const wchar_t* switchPassword,
                          const wchar_t* restorePassword, const std::function<void()>& afterStartup)
{
    size_t count = 0;
    const StoredValue* order = CSettingsTable::SaveOrder(&count);
    for (size_t i = 0; i < count; ++i) {
        const SettingRow& row = CSettingsTable::Row(order[i]);
        WriteRow(row, record, switchPassword, restorePassword);
        if (row.id == StoredValue::SS_STARTUP && afterStartup)
            afterStartup();
    }
    SaveProcesses(record);
}

void CSettingsStore::WriteRow(const SettingRow& row, const CSettingsRecord& record,
                              const wchar_t* switchPassword, const wchar_t* restorePassword)
{
    if (row.number)
        m_key.WriteDword(row.name, record.*row.number);
    else if (row.password)
        WritePassword(row.name, row.password == &CSettingsRecord::PWD_VIRT ? switchPassword
                                                                           : restorePassword);
    else if (row.text)
        m_key.WriteString(row.name, (record.*row.text).c_str());
}

void CSettingsStore::WritePassword(const wchar_t* name, const wchar_t* password)
{
    // The value that could not be read stays as it was, and so reads as
    // unreadable again next time, until the user sets a new password.
    if (!CUnmatchablePassword::Is(password))
        m_key.WriteString(name, password);
}

void CSettingsStore::Write(const CSettingsRecord& record, std::initializer_list<StoredValue> values,
                           const wchar_t* password)
{
    for (StoredValue value : values)
        WriteRow(CSettingsTable::Row(value), record, password, password);
}

void CSettingsStore::WriteProcesses(const CSettingsRecord& record)
{
    Write(record, {StoredValue::AC_PROCESSES_ENABLED, StoredValue::AC_PROCESSES_COUNT});
    SaveProcesses(record);
}

void CSettingsStore::SaveProcesses(const CSettingsRecord& record)
{
    // Entries beyond the count are left in place: nothing reads them.
    for (size_t i = 0; i < record.AC_PROCESSES_COUNT && i < record.processes.size(); ++i) {
        wchar_t name[32];
        ProcessValueName(i, name);
        m_key.WriteString(name, record.processes[i].c_str());
    }
}
