#pragma once

#include <windows.h>

#include "app/CSettingsRecord.h"
#include "base/CFixedText.h"

// Every value Quillow stores under its program key, one enumerator per row
// of the table, in the order the load reads them. Code names a value by its
// enumerator, so a misspelt one does not build; the registry names are in
// the table alone.
enum class StoredValue : unsigned char {
    SW_WHEEL, SW_DOUBLE, SW_HOTKEY_ENABLED, SW_HOTKEY, SW_CTRL, SW_SHIFT, SW_ALT,
    SS_STARTUP, SS_TRAYICON, SS_UPDATE, SS_HOTKEY_ENABLED, SS_HOTKEY, SS_CTRL, SS_SHIFT, SS_ALT,
    PWD_VIRT_ENABLED, PWD_VIRT, PWD_ORIG_ENABLED, PWD_ORIG,
    AC_MUTE, AC_MONITOR, AC_TASKMGR, AC_BROWSERHISTORY, AC_IEURLS, AC_RECENTDOC,
    AC_PROCESSES_ENABLED, AC_PROCESSES_COUNT,
    AC_WINDOWS_ENABLED, AC_WINDOWS_TITLE, AC_FILE_ENABLED, AC_FILE_PATH,
    AC_WEBSITE_ENABLED, AC_WEBSITE_URL,
    // Not in the record: each is read and written by the one class that
    // owns it, by the name the table gives.
    AC_PROCESS,       // AC_PROCESS0, AC_PROCESS1, ...: the settings store
    UPDATE_VERSION,   // the last update offered: the update check and prompt
    UPDATE_URL,
    UPDATE_REVISION,
    UPDATE_SHOWED,
    QUIT_NOCONFIRM,   // the quit dialog's "do not ask again"
    TASKMGR_APPLIED,  // the task-manager policy is ours to undo; the uninstaller reads it too
    kCount
};

// One row per stored value: its registry name, and for the values of the
// record, its field and default. Load, save and the tests walk the same
// table. The names are frozen: users already have them stored.
struct SettingRow {
    StoredValue id;
    const wchar_t* name;
    DWORD CSettingsRecord::*number;              // set for DWORD values of the record
    CFixedText<16> CSettingsRecord::*password;   // set for the two passwords
    CFixedText<262> CSettingsRecord::*text;      // set for the three action texts
    DWORD defaultValue;
    DWORD readCapacity;  // characters a text is read into, terminator included
    // A password's check box, which comes before it in the load's order.
    DWORD CSettingsRecord::*passwordFlag;

    constexpr bool InRecord() const { return number || password || text; }
};

class CSettingsTable {
public:
    // Every row, in the order of StoredValue; the process names come between
    // AC_PROCESSES_COUNT and AC_WINDOWS_ENABLED in the load's order.
    static const SettingRow* Rows(size_t* count);
    static const SettingRow& Row(StoredValue value);
    static const wchar_t* Name(StoredValue value) { return Row(value).name; }
    // The order the save writes the record's values in, which is not the
    // load's.
    static const StoredValue* SaveOrder(size_t* count);
};
