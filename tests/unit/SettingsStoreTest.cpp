#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/CSettingsTable.h"
#include "ScratchRegistryKey.h"
#include "settings/CSettingsStore.h"
#include "settings/CUnmatchablePassword.h"

namespace {

// Each test works below a key of its own, removed again at the end; the
// nesting mirrors the product's Software\Orvane\Quillow.
class SettingsStoreTest : public ::testing::Test {
protected:
    CSettingsRecord Load()
    {
        CSettingsRecord record;
        CSettingsStore store(scratch.Path().c_str());
        store.Load(record);
        return record;
    }

    const CScratchRegistryKey scratch{L"Store", L"Orvane\\Quillow"};
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
    EXPECT_FALSE(scratch.Has(L"SW_WHEEL"));
}

// --- the process names: a count from outside is not trusted -------------

TEST_F(SettingsStoreTest, FirstMissingProcessEntryEndsTheListAndTheCountFollows)
{
    scratch.PutDword(L"AC_PROCESSES_COUNT", 3);
    scratch.PutText(L"AC_PROCESS0", L"notepad.exe");
    scratch.PutText(L"AC_PROCESS2", L"calc.exe");
    const CSettingsRecord r = Load();
    EXPECT_EQ(1u, r.AC_PROCESSES_COUNT);
    ASSERT_EQ(1u, r.processes.size());
    EXPECT_EQ(L"notepad.exe", r.processes[0]);
}

TEST_F(SettingsStoreTest, HugeCountReadsOnlyTheEntriesThatExist)
{
    // Four billion reads would hang the start (and this test, until the
    // run's time-out); stopping at the first gap makes it an ordinary load.
    scratch.PutDword(L"AC_PROCESSES_COUNT", 0xFFFFFFFF);
    scratch.PutText(L"AC_PROCESS0", L"notepad.exe");
    scratch.PutText(L"AC_PROCESS1", L"calc.exe");
    const CSettingsRecord r = Load();
    EXPECT_EQ(2u, r.AC_PROCESSES_COUNT);
    ASSERT_EQ(2u, r.processes.size());
    EXPECT_EQ(L"calc.exe", r.processes[1]);
}

TEST_F(SettingsStoreTest, NoMoreThanTheCapOfProcessNamesIsLoaded)
{
    const DWORD stored = CSettingsStore::kMaxProcessNames + 5;
    scratch.PutDword(L"AC_PROCESSES_COUNT", stored);
    for (DWORD i = 0; i < stored; ++i)
        scratch.PutText((L"AC_PROCESS" + std::to_wstring(i)).c_str(),
                        L"p" + std::to_wstring(i) + L".exe");
    const CSettingsRecord r = Load();
    EXPECT_EQ(1000u, r.AC_PROCESSES_COUNT);
    ASSERT_EQ(1000u, r.processes.size());
    EXPECT_EQ(L"p999.exe", r.processes.back());
}

TEST_F(SettingsStoreTest, ProcessEntryWithNoDataOrAnEmptyNameIsSkipped)
{
    scratch.PutDword(L"AC_PROCESSES_COUNT", 4);
    scratch.PutText(L"AC_PROCESS0", L"notepad.exe");
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, scratch.Path().c_str(),
                                             L"AC_PROCESS1", REG_SZ, nullptr, 0));
    scratch.PutText(L"AC_PROCESS2", L"");
    scratch.PutText(L"AC_PROCESS3", L"calc.exe");
    const CSettingsRecord r = Load();
    EXPECT_EQ(2u, r.AC_PROCESSES_COUNT);
    ASSERT_EQ(2u, r.processes.size());
    EXPECT_EQ(L"notepad.exe", r.processes[0]);
    EXPECT_EQ(L"calc.exe", r.processes[1]);
}

TEST_F(SettingsStoreTest, UnreadableProcessEntryIsSkippedAndTheNextOnesStillCount)
{
    scratch.PutDword(L"AC_PROCESSES_COUNT", 3);
    scratch.PutText(L"AC_PROCESS0", L"notepad.exe");
    scratch.PutDword(L"AC_PROCESS1", 7);
    scratch.PutText(L"AC_PROCESS2", L"calc.exe");
    const CSettingsRecord r = Load();
    ASSERT_EQ(2u, r.processes.size());
    EXPECT_EQ(L"calc.exe", r.processes[1]);
}

// A ticked box means the user guards that direction; a stored password that
// cannot be read must not open it.
TEST_F(SettingsStoreTest, TickedPasswordTooLongToReadStaysGuarded)
{
    scratch.PutDword(L"PWD_VIRT_ENABLED", 1);
    scratch.PutText(L"PWD_VIRT", L"fifteen-chars!!");
    scratch.PutText(L"PWD_ORIG", L"fourteen-chars");
    const CSettingsRecord r = Load();
    EXPECT_EQ(1u, r.PWD_VIRT_ENABLED);
    EXPECT_TRUE(r.PWD_VIRT == CUnmatchablePassword::Text());
    EXPECT_TRUE(r.PWD_ORIG == L"fourteen-chars");
}

TEST_F(SettingsStoreTest, TickedPasswordOfTheWrongTypeStaysGuarded)
{
    scratch.PutDword(L"PWD_ORIG_ENABLED", 1);
    scratch.PutDword(L"PWD_ORIG", 1234);
    const CSettingsRecord r = Load();
    EXPECT_TRUE(r.PWD_ORIG == CUnmatchablePassword::Text());
}

// A write that was dropped half-way (the box, not the text) leaves these.
TEST_F(SettingsStoreTest, TickedPasswordMissingOrEmptyStaysGuarded)
{
    scratch.PutDword(L"PWD_VIRT_ENABLED", 1);
    scratch.PutDword(L"PWD_ORIG_ENABLED", 1);
    scratch.PutText(L"PWD_ORIG", L"");
    const CSettingsRecord r = Load();
    EXPECT_TRUE(r.PWD_VIRT == CUnmatchablePassword::Text());
    EXPECT_TRUE(r.PWD_ORIG == CUnmatchablePassword::Text());
}

TEST_F(SettingsStoreTest, UntickedPasswordThatCannotBeReadCountsAsNone)
{
    scratch.PutDword(L"PWD_VIRT_ENABLED", 0);
    scratch.PutText(L"PWD_VIRT", std::wstring(20, L'x'));
    scratch.PutDword(L"PWD_ORIG", 1234);
    const CSettingsRecord r = Load();
    EXPECT_TRUE(r.PWD_VIRT.empty());
    EXPECT_TRUE(r.PWD_ORIG.empty());
}

// Names, types and texts stay as stored: the value is neither replaced by
// the stand-in nor emptied, and so stays guarded at the next start too.
TEST_F(SettingsStoreTest, SaveKeepsAStoredPasswordThatCouldNotBeRead)
{
    const std::wstring twenty(20, L'p');
    scratch.PutDword(L"PWD_VIRT_ENABLED", 1);
    scratch.PutText(L"PWD_VIRT", twenty);
    const CSettingsRecord record = Load();
    CSettingsStore(scratch.Path().c_str()).Save(record, CUnmatchablePassword::Text(), L"", nullptr);
    EXPECT_EQ(twenty, scratch.ReadText(L"PWD_VIRT"));
    EXPECT_EQ(1u, scratch.ReadDword(L"PWD_VIRT_ENABLED"));
    EXPECT_TRUE(Load().PWD_VIRT == CUnmatchablePassword::Text());
}

TEST_F(SettingsStoreTest, ExpandableTextIsTakenLiterally)
{
    scratch.PutText(L"AC_FILE_PATH", L"%SystemRoot%\\notes.txt", REG_EXPAND_SZ);
    EXPECT_TRUE(Load().AC_FILE_PATH == L"%SystemRoot%\\notes.txt");
}

TEST_F(SettingsStoreTest, OverlongTextIsNotRead)
{
    const std::wstring longTitle(300, L't');
    scratch.PutText(L"AC_WINDOWS_TITLE", longTitle.c_str());
    EXPECT_TRUE(Load().AC_WINDOWS_TITLE.empty());
}

TEST_F(SettingsStoreTest, FlagOfAnyNonZeroValueIsLoadedAsStored)
{
    scratch.PutDword(L"SW_HOTKEY", 0x170);
    scratch.PutDword(L"AC_MUTE", 7);
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
    CSettingsStore store(scratch.Path().c_str());
    store.Save(record, L"", L"back", nullptr);

    size_t rows = 0;
    const SettingRow* table = CSettingsTable::Rows(&rows);
    for (size_t i = 0; i < rows; ++i) {
        if (!table[i].InRecord())
            continue;
        EXPECT_TRUE(scratch.Has(table[i].name)) << table[i].name;
    }
    EXPECT_EQ(L"kept while off", scratch.ReadText(L"AC_WINDOWS_TITLE"));
    EXPECT_EQ(L"b.exe", scratch.ReadText(L"AC_PROCESS1"));
    EXPECT_EQ(L"back", scratch.ReadText(L"PWD_ORIG"));
}

TEST_F(SettingsStoreTest, PasswordTurnedOffIsSavedEmpty)
{
    CSettingsRecord record = Load();
    record.PWD_VIRT_ENABLED = 0;
    record.PWD_VIRT.Assign(L"secret");
    CSettingsStore store(scratch.Path().c_str());
    // The copy in force of a password turned off is empty.
    store.Save(record, L"", L"", nullptr);
    EXPECT_TRUE(scratch.Has(L"PWD_VIRT"));
    EXPECT_EQ(L"", scratch.ReadText(L"PWD_VIRT"));
}

TEST_F(SettingsStoreTest, AutostartRunsRightAfterItsValueIsWritten)
{
    CSettingsRecord record = Load();
    CSettingsStore store(scratch.Path().c_str());
    bool startupWritten = false;
    bool trayIconWritten = true;
    store.Save(record, L"", L"", [&] {
        startupWritten = scratch.Has(L"SS_STARTUP");
        trayIconWritten = scratch.Has(L"SS_TRAYICON");
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
    CSettingsStore(scratch.Path().c_str()).Save(record, L"pw", L"", nullptr);
    const CSettingsRecord back = Load();
    EXPECT_EQ(static_cast<DWORD>('K'), back.SS_HOTKEY);
    EXPECT_EQ(1u, back.SS_CTRL);
    EXPECT_TRUE(back.AC_FILE_PATH == L"C:\\notes.txt");
    EXPECT_TRUE(back.PWD_VIRT == L"pw");
    ASSERT_EQ(1u, back.processes.size());
    EXPECT_EQ(L"x.exe", back.processes[0]);
}

}  // namespace
