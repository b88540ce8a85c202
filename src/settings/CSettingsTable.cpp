#include "settings/CSettingsTable.h"

#include <cwchar>
#include <iterator>

namespace {
using R = CSettingsRecord;

constexpr SettingRow Number(const wchar_t* name, DWORD R::*field, DWORD defaultValue)
{
    return SettingRow{name, field, nullptr, nullptr, defaultValue, 0, nullptr};
}

constexpr SettingRow Password(const wchar_t* name, CFixedText<16> R::*field, DWORD R::*flag)
{
    // 15 characters with the terminator: a longer stored password fails to
    // read; ticked, it stays guarded (CUnmatchablePassword).
    return SettingRow{name, nullptr, field, nullptr, 0, 15, flag};
}

constexpr SettingRow Text(const wchar_t* name, CFixedText<262> R::*field)
{
    return SettingRow{name, nullptr, nullptr, field, 0, 261, nullptr};
}

const SettingRow kRows[] = {
    Number(L"SW_WHEEL", &R::SW_WHEEL, 1),
    Number(L"SW_DOUBLE", &R::SW_DOUBLE, 1),
    Number(L"SW_HOTKEY_ENABLED", &R::SW_HOTKEY_ENABLED, 0),
    Number(L"SW_HOTKEY", &R::SW_HOTKEY, VK_F1),
    Number(L"SW_CTRL", &R::SW_CTRL, 0),
    Number(L"SW_SHIFT", &R::SW_SHIFT, 0),
    Number(L"SW_ALT", &R::SW_ALT, 0),
    Number(L"SS_STARTUP", &R::SS_STARTUP, 1),
    Number(L"SS_TRAYICON", &R::SS_TRAYICON, 1),
    Number(L"SS_UPDATE", &R::SS_UPDATE, 1),
    Number(L"SS_HOTKEY_ENABLED", &R::SS_HOTKEY_ENABLED, 1),
    Number(L"SS_HOTKEY", &R::SS_HOTKEY, VK_F2),
    Number(L"SS_CTRL", &R::SS_CTRL, 0),
    Number(L"SS_SHIFT", &R::SS_SHIFT, 0),
    Number(L"SS_ALT", &R::SS_ALT, 1),
    Number(L"PWD_VIRT_ENABLED", &R::PWD_VIRT_ENABLED, 0),
    Password(L"PWD_VIRT", &R::PWD_VIRT, &R::PWD_VIRT_ENABLED),
    Number(L"PWD_ORIG_ENABLED", &R::PWD_ORIG_ENABLED, 0),
    Password(L"PWD_ORIG", &R::PWD_ORIG, &R::PWD_ORIG_ENABLED),
    Number(L"AC_MUTE", &R::AC_MUTE, 0),
    Number(L"AC_MONITOR", &R::AC_MONITOR, 0),
    Number(L"AC_TASKMGR", &R::AC_TASKMGR, 0),
    Number(L"AC_BROWSERHISTORY", &R::AC_BROWSERHISTORY, 0),
    Number(L"AC_IEURLS", &R::AC_IEURLS, 0),
    Number(L"AC_RECENTDOC", &R::AC_RECENTDOC, 0),
    Number(L"AC_PROCESSES_ENABLED", &R::AC_PROCESSES_ENABLED, 0),
    Number(L"AC_PROCESSES_COUNT", &R::AC_PROCESSES_COUNT, 0),
    Number(L"AC_WINDOWS_ENABLED", &R::AC_WINDOWS_ENABLED, 0),
    Text(L"AC_WINDOWS_TITLE", &R::AC_WINDOWS_TITLE),
    Number(L"AC_FILE_ENABLED", &R::AC_FILE_ENABLED, 0),
    Text(L"AC_FILE_PATH", &R::AC_FILE_PATH),
    Number(L"AC_WEBSITE_ENABLED", &R::AC_WEBSITE_ENABLED, 0),
    Text(L"AC_WEBSITE_URL", &R::AC_WEBSITE_URL),
};

const wchar_t* const kSaveOrder[] = {
    L"SW_WHEEL", L"SW_DOUBLE", L"SW_HOTKEY_ENABLED", L"SW_HOTKEY", L"SW_CTRL", L"SW_SHIFT",
    L"SW_ALT", L"SS_STARTUP", L"SS_TRAYICON", L"SS_UPDATE", L"SS_HOTKEY_ENABLED", L"SS_HOTKEY",
    L"SS_CTRL", L"SS_SHIFT", L"SS_ALT", L"PWD_VIRT_ENABLED", L"PWD_VIRT", L"PWD_ORIG_ENABLED",
    L"PWD_ORIG", L"AC_MUTE", L"AC_MONITOR", L"AC_TASKMGR", L"AC_BROWSERHISTORY", L"AC_IEURLS",
    L"AC_RECENTDOC", L"AC_FILE_ENABLED", L"AC_FILE_PATH", L"AC_WEBSITE_ENABLED", L"AC_WEBSITE_URL",
    L"AC_WINDOWS_ENABLED", L"AC_WINDOWS_TITLE", L"AC_PROCESSES_ENABLED", L"AC_PROCESSES_COUNT",
};
}

const SettingRow* CSettingsTable::Rows(size_t* count)
{
    *count = std::size(kRows);
    return kRows;
}

const SettingRow* CSettingsTable::Find(const wchar_t* name)
{
    for (const SettingRow& row : kRows) {
        if (wcscmp(row.name, name) == 0)
            return &row;
    }
    return nullptr;
}

const wchar_t* const* CSettingsTable::SaveOrder(size_t* count)
{
    *count = std::size(kSaveOrder);
    return kSaveOrder;
}
