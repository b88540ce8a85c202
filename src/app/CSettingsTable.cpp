#include "app/CSettingsTable.h"

#include <iterator>

namespace {
using R = CSettingsRecord;
using V = StoredValue;

constexpr SettingRow Number(V id, const wchar_t* name, DWORD R::*field, DWORD defaultValue)
{
    return SettingRow{id, name, field, nullptr, nullptr, defaultValue, 0, nullptr};
}

constexpr SettingRow Password(V id, const wchar_t* name, CFixedText<16> R::*field, DWORD R::*flag)
{
    // 15 characters with the terminator: a longer stored password fails to
    // read; ticked, it stays guarded (CUnmatchablePassword).
    return SettingRow{id, name, nullptr, field, nullptr, 0, 15, flag};
}

constexpr SettingRow Text(V id, const wchar_t* name, CFixedText<262> R::*field)
{
    return SettingRow{id, name, nullptr, nullptr, field, 0, 261, nullptr};
}

constexpr SettingRow Owned(V id, const wchar_t* name)
{
    return SettingRow{id, name, nullptr, nullptr, nullptr, 0, 0, nullptr};
}

constexpr SettingRow kRows[] = {
    Number(V::SW_WHEEL, L"SW_WHEEL", &R::SW_WHEEL, 1),
    Number(V::SW_DOUBLE, L"SW_DOUBLE", &R::SW_DOUBLE, 1),
    Number(V::SW_HOTKEY_ENABLED, L"SW_HOTKEY_ENABLED", &R::SW_HOTKEY_ENABLED, 0),
    Number(V::SW_HOTKEY, L"SW_HOTKEY", &R::SW_HOTKEY, VK_F1),
    Number(V::SW_CTRL, L"SW_CTRL", &R::SW_CTRL, 0),
    Number(V::SW_SHIFT, L"SW_SHIFT", &R::SW_SHIFT, 0),
    Number(V::SW_ALT, L"SW_ALT", &R::SW_ALT, 0),
    Number(V::SS_STARTUP, L"SS_STARTUP", &R::SS_STARTUP, 1),
    Number(V::SS_TRAYICON, L"SS_TRAYICON", &R::SS_TRAYICON, 1),
    Number(V::SS_UPDATE, L"SS_UPDATE", &R::SS_UPDATE, 1),
    Number(V::SS_HOTKEY_ENABLED, L"SS_HOTKEY_ENABLED", &R::SS_HOTKEY_ENABLED, 1),
    Number(V::SS_HOTKEY, L"SS_HOTKEY", &R::SS_HOTKEY, VK_F2),
    Number(V::SS_CTRL, L"SS_CTRL", &R::SS_CTRL, 0),
    Number(V::SS_SHIFT, L"SS_SHIFT", &R::SS_SHIFT, 0),
    Number(V::SS_ALT, L"SS_ALT", &R::SS_ALT, 1),
    Number(V::PWD_VIRT_ENABLED, L"PWD_VIRT_ENABLED", &R::PWD_VIRT_ENABLED, 0),
    Password(V::PWD_VIRT, L"PWD_VIRT", &R::PWD_VIRT, &R::PWD_VIRT_ENABLED),
    Number(V::PWD_ORIG_ENABLED, L"PWD_ORIG_ENABLED", &R::PWD_ORIG_ENABLED, 0),
    Password(V::PWD_ORIG, L"PWD_ORIG", &R::PWD_ORIG, &R::PWD_ORIG_ENABLED),
    Number(V::AC_MUTE, L"AC_MUTE", &R::AC_MUTE, 0),
    Number(V::AC_MONITOR, L"AC_MONITOR", &R::AC_MONITOR, 0),
    Number(V::AC_TASKMGR, L"AC_TASKMGR", &R::AC_TASKMGR, 0),
    Number(V::AC_BROWSERHISTORY, L"AC_BROWSERHISTORY", &R::AC_BROWSERHISTORY, 0),
    Number(V::AC_IEURLS, L"AC_IEURLS", &R::AC_IEURLS, 0),
    Number(V::AC_RECENTDOC, L"AC_RECENTDOC", &R::AC_RECENTDOC, 0),
    Number(V::AC_PROCESSES_ENABLED, L"AC_PROCESSES_ENABLED", &R::AC_PROCESSES_ENABLED, 0),
    Number(V::AC_PROCESSES_COUNT, L"AC_PROCESSES_COUNT", &R::AC_PROCESSES_COUNT, 0),
    Number(V::AC_WINDOWS_ENABLED, L"AC_WINDOWS_ENABLED", &R::AC_WINDOWS_ENABLED, 0),
    Text(V::AC_WINDOWS_TITLE, L"AC_WINDOWS_TITLE", &R::AC_WINDOWS_TITLE),
    Number(V::AC_FILE_ENABLED, L"AC_FILE_ENABLED", &R::AC_FILE_ENABLED, 0),
    Text(V::AC_FILE_PATH, L"AC_FILE_PATH", &R::AC_FILE_PATH),
    Number(V::AC_WEBSITE_ENABLED, L"AC_WEBSITE_ENABLED", &R::AC_WEBSITE_ENABLED, 0),
    Text(V::AC_WEBSITE_URL, L"AC_WEBSITE_URL", &R::AC_WEBSITE_URL),
    Owned(V::AC_PROCESS, L"AC_PROCESS"),
    Owned(V::UPDATE_VERSION, L"UPDATE_VERSION"),
    Owned(V::UPDATE_URL, L"UPDATE_URL"),
    Owned(V::UPDATE_REVISION, L"UPDATE_REVISION"),
    Owned(V::UPDATE_SHOWED, L"UPDATE_SHOWED"),
    Owned(V::QUIT_NOCONFIRM, L"QUIT_NOCONFIRM"),
    Owned(V::TASKMGR_APPLIED, L"TASKMGR_APPLIED"),
};

// Row(value) indexes the table by the enumerator, so a row out of place or
// missing would hand out another value's name.
constexpr bool EachRowInItsPlace()
{
    if (std::size(kRows) != static_cast<size_t>(V::kCount))
        return false;
    for (size_t i = 0; i < std::size(kRows); ++i)
        if (static_cast<size_t>(kRows[i].id) != i)
            return false;
    return true;
}
static_assert(EachRowInItsPlace(), "one row per stored value, in the order of StoredValue");

constexpr V kSaveOrder[] = {
    V::SW_WHEEL, V::SW_DOUBLE, V::SW_HOTKEY_ENABLED, V::SW_HOTKEY, V::SW_CTRL, V::SW_SHIFT,
    V::SW_ALT, V::SS_STARTUP, V::SS_TRAYICON, V::SS_UPDATE, V::SS_HOTKEY_ENABLED, V::SS_HOTKEY,
    V::SS_CTRL, V::SS_SHIFT, V::SS_ALT, V::PWD_VIRT_ENABLED, V::PWD_VIRT, V::PWD_ORIG_ENABLED,
    V::PWD_ORIG, V::AC_MUTE, V::AC_MONITOR, V::AC_TASKMGR, V::AC_BROWSERHISTORY, V::AC_IEURLS,
    V::AC_RECENTDOC, V::AC_FILE_ENABLED, V::AC_FILE_PATH, V::AC_WEBSITE_ENABLED, V::AC_WEBSITE_URL,
    V::AC_WINDOWS_ENABLED, V::AC_WINDOWS_TITLE, V::AC_PROCESSES_ENABLED, V::AC_PROCESSES_COUNT,
};

// The save writes every value of the record, each once.
constexpr bool SavesTheWholeRecord()
{
    size_t inRecord = 0;
    for (const SettingRow& row : kRows)
        inRecord += row.InRecord() ? 1 : 0;
    if (std::size(kSaveOrder) != inRecord)
        return false;
    for (size_t i = 0; i < std::size(kSaveOrder); ++i) {
        if (!kRows[static_cast<size_t>(kSaveOrder[i])].InRecord())
            return false;
        for (size_t j = 0; j < i; ++j)
            if (kSaveOrder[j] == kSaveOrder[i])
                return false;
    }
    return true;
}
static_assert(SavesTheWholeRecord(), "the save order names each value of the record once");
}

const SettingRow* CSettingsTable::Rows(size_t* count)
{
    *count = std::size(kRows);
    return kRows;
}

const SettingRow& CSettingsTable::Row(StoredValue value)
{
    return kRows[static_cast<size_t>(value)];
}

const StoredValue* CSettingsTable::SaveOrder(size_t* count)
{
    *count = std::size(kSaveOrder);
    return kSaveOrder;
}
