#pragma once

#include <windows.h>

#include "base/CFixedText.h"
#include "settings/CSettingsRecord.h"

// One row per registry value under the program key: its name, its field in
// the record and its default. Load, save and the tests walk the same table.
// The names are frozen: users already have them stored.
struct SettingRow {
    const wchar_t* name;
    DWORD CSettingsRecord::*number;              // set for DWORD values
    CFixedText<16> CSettingsRecord::*password;   // set for the two passwords
    CFixedText<262> CSettingsRecord::*text;      // set for the three action texts
    DWORD defaultValue;
    DWORD readCapacity;  // characters a text is read into, terminator included
    // A password's check box, which comes before it in the load's order.
    DWORD CSettingsRecord::*passwordFlag;
};

class CSettingsTable {
public:
    // In the order the load reads them; the process names come between
    // AC_PROCESSES_COUNT and AC_WINDOWS_ENABLED.
    static const SettingRow* Rows(size_t* count);
    static const SettingRow* Find(const wchar_t* name);
    // The order the save writes them in, which is not the load's.
    static const wchar_t* const* SaveOrder(size_t* count);
};
