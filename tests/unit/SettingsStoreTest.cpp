#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/CSettingsStore.h"
#include "settings/CSettingsTable.h"

namespace {

// Each test works below a key of its own, removed again at the end.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = L"Software\\QuillowStoreTest-" + std::to_wstring(GetCurrentProcessId());
        m_key = m_root + L"\\Orvane\\Quillow";
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_root.c_str()); }

    void Put(const wchar_t* name, DWORD value)
    {
        CRegistryPath path;
        path.SetPath(m_key.c_str());
        ASSERT_EQ(ERROR_SUCCESS, path.WriteDword(name, value));
    }
    void Put(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    bool Has(const wchar_t* name)
    {
        return RegGetValueW(HKEY_CURRENT_USER, m_key.c_str(), name, RRF_RT_ANY, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
    }
    std::wstring Text(const wchar_t* name)
    {
        wchar_t buffer[300] = {};
        DWORD size = sizeof(buffer);
        RegGetValueW(HKEY_CURRENT_USER, m_key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size);
        return buffer;
    }

    CSettingsRecord Load()
    {
        CSettingsRecord record;
        CSettingsStore store(m_key.c_str());
        store.Load(record);
        return record;
    }

    std::wstring m_root;
    std::wstring m_key;
};

TEST_F(SettingsStoreTest, FirstStartGivesTheDefaults)
{
    const CSettingsRecord r = Load();
    EXPECT_EQ(1u, r.SW_WHEEL);
    EXPECT_EQ(1u, r.SW_DOUBLE);
    EXPECT_EQ(0u, r.SW_HOTKEY_ENABLED);
    EXPECT_EQ(static_cast<DWORD>(VK_F1), r.SW_HOTKEY);
    EXPECT_EQ(1u, r.SS_STARTUP);
    EXPECT_EQ(1u, r.SS_TRAYICON);
    EXPECT_EQ(1u, r.SS_UPDATE);
    EXPECT_EQ(1u, r.SS_HOTKEY_ENABLED);
    EXPECT_EQ(static_cast<DWORD>(VK_F2), r.SS_HOTKEY);
    EXPECT_EQ(1u, r.SS_ALT);
    EXPECT_EQ(0u, r.SS_CTRL + r.SS_SHIFT);
    EXPECT_EQ(0u, r.PWD_VIRT_ENABLED + r.PWD_ORIG_ENABLED);
    EXPECT_TRUE(r.PWD_VIRT.empty() && r.PWD_ORIG.empty());
    EXPECT_EQ(0u, r.AC_MUTE + r.AC_MONITOR + r.AC_TASKMGR + r.AC_BROWSERHISTORY + r.AC_IEURLS +
                      r.AC_RECENTDOC + r.AC_PROCESSES_ENABLED + r.AC_PROCESSES_COUNT +
                      r.AC_WINDOWS_ENABLED + r.AC_FILE_ENABLED + r.AC_WEBSITE_ENABLED);
    EXPECT_TRUE(r.processes.empty());
    // Reading never creates anything.
    EXPECT_FALSE(Has(L"SW_WHEEL"));
}

TEST_F(SettingsStoreTest, MissingProcessEntriesAreSkippedAndTheCountFollows)
{
    Put(L"AC_PROCESSES_COUNT", 3);
    Put(L"AC_PROCESS0", L"notepad.exe");
    Put(L"AC_PROCESS2", L"calc.exe");
    const CSettingsRecord r = Load();
    EXPECT_EQ(2u, r.AC_PROCESSES_COUNT);
    ASSERT_EQ(2u, r.processes.size());
    EXPECT_EQ(L"notepad.exe", r.processes[0]);
    EXPECT_EQ(L"calc.exe", r.processes[1]);
}

TEST_F(SettingsStoreTest, PasswordOfFifteenCharactersDoesNotFitAndCountsAsNone)
{
    Put(L"PWD_VIRT_ENABLED", 1);
    Put(L"PWD_VIRT", L"fifteen-chars!!");
    Put(L"PWD_ORIG", L"fourteen-chars");
    const CSettingsRecord r = Load();
    EXPECT_TRUE(r.PWD_VIRT.empty());
    EXPECT_TRUE(r.PWD_ORIG == L"fourteen-chars");
}

TEST_F(SettingsStoreTest, ExpandableTextIsTakenLiterally)
{
    Put(L"AC_FILE_PATH", L"%SystemRoot%\\notes.txt", REG_EXPAND_SZ);
    EXPECT_TRUE(Load().AC_FILE_PATH == L"%SystemRoot%\\notes.txt");
}

TEST_F(SettingsStoreTest, OverlongTextIsNotRead)
{
    const std::wstring longTitle(300, L't');
    Put(L"AC_WINDOWS_TITLE", longTitle.c_str());
    EXPECT_TRUE(Load().AC_WINDOWS_TITLE.empty());
}

TEST_F(SettingsStoreTest, FlagOfAnyNonZeroValueIsLoadedAsStored)
{
    Put(L"SW_HOTKEY", 0x170);
    Put(L"AC_MUTE", 7);
    const CSettingsRecord r = Load();
    EXPECT_EQ(0x170u, r.SW_HOTKEY);  // cut to 8 bits when applied
    EXPECT_EQ(7u, r.AC_MUTE);
}

TEST_F(SettingsStoreTest, SaveWritesEveryValueAndCreatesTheKey)
{
    CSettingsRecord record = Load();
    record.AC_WINDOWS_ENABLED = 0;
    record.AC_WINDOWS_TITLE.Assign(L"kept while off");
    record.processes = {L"a.exe", L"b.exe"};
    record.AC_PROCESSES_COUNT = 2;
    CSettingsStore store(m_key.c_str());
    store.Save(record, L"", L"back", nullptr);

    size_t rows = 0;
    const SettingRow* table = CSettingsTable::Rows(&rows);
    for (size_t i = 0; i < rows; ++i)
        EXPECT_TRUE(Has(table[i].name)) << table[i].name;
    EXPECT_EQ(L"kept while off", Text(L"AC_WINDOWS_TITLE"));
    EXPECT_EQ(L"b.exe", Text(L"AC_PROCESS1"));
    EXPECT_EQ(L"back", Text(L"PWD_ORIG"));
}

TEST_F(SettingsStoreTest, PasswordTurnedOffIsSavedEmpty)
{
    CSettingsRecord record = Load();
    record.PWD_VIRT_ENABLED = 0;
    record.PWD_VIRT.Assign(L"secret");
    CSettingsStore store(m_key.c_str());
    // The copy in force of a password turned off is empty.
    store.Save(record, L"", L"", nullptr);
    EXPECT_TRUE(Has(L"PWD_VIRT"));
    EXPECT_EQ(L"", Text(L"PWD_VIRT"));
}

TEST_F(SettingsStoreTest, AutostartRunsRightAfterItsValueIsWritten)
{
    CSettingsRecord record = Load();
    CSettingsStore store(m_key.c_str());
    bool startupWritten = false;
    bool trayIconWritten = true;
    store.Save(record, L"", L"", [&] {
        startupWritten = Has(L"SS_STARTUP");
        trayIconWritten = Has(L"SS_TRAYICON");
    });
    EXPECT_TRUE(startupWritten);
    EXPECT_FALSE(trayIconWritten);
}

TEST_F(SettingsStoreTest, SavedValuesLoadBackUnchanged)
{
    CSettingsRecord record = Load();
    record.SS_HOTKEY = 'K';
    record.SS_CTRL = 1;
    record.AC_FILE_ENABLED = 1;
    record.AC_FILE_PATH.Assign(L"C:\\notes.txt");
    record.processes = {L"x.exe"};
    record.AC_PROCESSES_COUNT = 1;
    CSettingsStore(m_key.c_str()).Save(record, L"pw", L"", nullptr);
    const CSettingsRecord back = Load();
    EXPECT_EQ(static_cast<DWORD>('K'), back.SS_HOTKEY);
    EXPECT_EQ(1u, back.SS_CTRL);
    EXPECT_TRUE(back.AC_FILE_PATH == L"C:\\notes.txt");
    EXPECT_TRUE(back.PWD_VIRT == L"pw");
    ASSERT_EQ(1u, back.processes.size());
    EXPECT_EQ(L"x.exe", back.processes[0]);
}

}  // namespace
