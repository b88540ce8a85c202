#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RecordingEffects.h"
#include "settings/CSettingsApplier.h"
#include "settings/CUnmatchablePassword.h"
#include "ui/CSettingsPagesSync.h"

namespace {

class SettingsApplierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        applier.SetProgramPath(kProgram);
        run.SetPath(live.m_autostartKey);
        run.DeleteValue(live.m_shortName);
    }
    void TearDown() override { run.DeleteValue(live.m_shortName); }

    std::wstring RunValue()
    {
        wchar_t text[260] = {};
        DWORD capacity = 260;
        return run.ReadString(live.m_shortName, text, &capacity) == ERROR_SUCCESS ? text : L"<none>";
    }

    static constexpr const wchar_t* kProgram = L"C:\\Apps\\Quillow\\Quillow.exe";
    CSettingsRecord record;
    CMyAppModule live;
    RecordingEffects effects;
    CSettingsPagesSync pages;
    CSettingsApplier applier{record, live, effects, pages};
    CRegistryPath run;
};

TEST_F(SettingsApplierTest, SwitchHotKeyOnWithAKeyArmsTheLibrary)
{
    applier.SwitchHotKey(1, 0x170, 0, 1, 0);
    EXPECT_EQ(std::vector<std::string>{"key 112 0 1 0"}, effects.calls);
    EXPECT_EQ(1u, record.SW_HOTKEY_ENABLED);
    EXPECT_EQ(0x70u, record.SW_HOTKEY);
    EXPECT_EQ(1u, record.SW_CTRL);
}

TEST_F(SettingsApplierTest, SwitchHotKeyOffKeepsItsKeyButDisarmsTheLibrary)
{
    applier.SwitchHotKey(0, VK_F5, 1, 1, 1);
    EXPECT_EQ(std::vector<std::string>{"key 0 0 0 0"}, effects.calls);
    EXPECT_EQ(0u, record.SW_HOTKEY_ENABLED);
    EXPECT_EQ(static_cast<DWORD>(VK_F5), record.SW_HOTKEY);
    EXPECT_EQ(1u, record.SW_SHIFT);
    EXPECT_EQ(1u, record.SW_CTRL);
    EXPECT_EQ(1u, record.SW_ALT);
}

TEST_F(SettingsApplierTest, SwitchHotKeyWithoutAKeyIsStoredAsOff)
{
    applier.SwitchHotKey(1, 0, 1, 1, 1);
    EXPECT_EQ(std::vector<std::string>{"key 0 0 0 0"}, effects.calls);
    EXPECT_EQ(0u, record.SW_HOTKEY_ENABLED + record.SW_HOTKEY + record.SW_SHIFT + record.SW_CTRL +
                      record.SW_ALT);
}

TEST_F(SettingsApplierTest, MouseTriggerFlagsAreNormalised)
{
    applier.MiddleButton(5);
    applier.BothButtons(0);
    EXPECT_EQ((std::vector<std::string>{"middle 1", "double 0"}), effects.calls);
    EXPECT_EQ(1u, record.SW_WHEEL);
}

TEST_F(SettingsApplierTest, SettingsHotKeyIsRegisteredWithItsModifiers)
{
    applier.SettingsHotKey(1, VK_F5, 0, 1, 1);
    EXPECT_EQ(std::vector<std::string>{"register 3 116"}, effects.calls);
    EXPECT_TRUE(applier.SettingsHotKeyRegistered());
}

TEST_F(SettingsApplierTest, SettingsHotKeyAppliedTwiceIsRegisteredAgain)
{
    applier.SettingsHotKey(1, VK_F2, 0, 0, 1);
    applier.SettingsHotKey(1, VK_F2, 0, 0, 1);
    EXPECT_EQ((std::vector<std::string>{"register 1 113", "unregister", "register 1 113"}),
              effects.calls);
    EXPECT_TRUE(applier.SettingsHotKeyRegistered());
}

TEST_F(SettingsApplierTest, SettingsHotKeyTurnedOffIsUnregisteredAndKeepsItsKey)
{
    applier.SettingsHotKey(1, VK_F2, 0, 0, 1);
    applier.SettingsHotKey(0, VK_F2, 0, 0, 1);
    EXPECT_EQ((std::vector<std::string>{"register 1 113", "unregister"}), effects.calls);
    EXPECT_FALSE(applier.SettingsHotKeyRegistered());
    EXPECT_EQ(static_cast<DWORD>(VK_F2), record.SS_HOTKEY);
    EXPECT_EQ(1u, record.SS_ALT);
}

TEST_F(SettingsApplierTest, TrayIconFollowsItsSetting)
{
    applier.SettingsHotKey(1, VK_F2, 0, 0, 1);
    applier.TrayIcon(1);
    EXPECT_TRUE(effects.trayShown);
    applier.TrayIcon(0);
    EXPECT_FALSE(effects.trayShown);
    EXPECT_EQ(0u, record.SS_TRAYICON);
}

// Another program holds the settings hot key and the tray icon is off: the
// settings window could never be opened again, so the icon stays for this run.
TEST_F(SettingsApplierTest, TrayIconStaysWhenTheSettingsHotKeyIsTaken)
{
    effects.hotKeyAvailable = false;
    applier.TrayIcon(0);
    applier.SettingsHotKey(1, VK_F2, 0, 0, 1);
    EXPECT_TRUE(effects.trayShown);
    EXPECT_EQ(0u, record.SS_TRAYICON) << "the stored setting is left alone";
    EXPECT_TRUE(applier.SettingsHotKeyRegistered());
}

TEST_F(SettingsApplierTest, TrayIconStaysWhenTheSettingsHotKeyIsOff)
{
    applier.TrayIcon(0);
    applier.SettingsHotKey(0, VK_F2, 0, 0, 1);
    EXPECT_TRUE(effects.trayShown);
    EXPECT_EQ(0u, record.SS_TRAYICON);
}

TEST_F(SettingsApplierTest, PasswordIsInForceOnlyWhenOnAndNotEmpty)
{
    applier.SwitchPassword(1, L"Secret");
    EXPECT_TRUE(*live.m_switchPassword.Get() == L"Secret");
    EXPECT_EQ(1u, record.PWD_VIRT_ENABLED);

    applier.SwitchPassword(0, L"Secret");
    EXPECT_TRUE(live.m_switchPassword.Get()->empty());
    EXPECT_TRUE(record.PWD_VIRT == L"Secret") << "kept while off";

    applier.RestorePassword(1, L"");
    EXPECT_EQ(0u, record.PWD_ORIG_ENABLED);
    EXPECT_TRUE(live.m_restorePassword.Get()->empty());
}

TEST_F(SettingsApplierTest, ActionTextIsInForceOnlyWhenOnAndNotEmpty)
{
    applier.File(1, L"");
    EXPECT_EQ(0u, record.AC_FILE_ENABLED);
    applier.WebSite(0, L"www.example.org");
    EXPECT_TRUE(live.m_webSiteToOpen.Get()->empty());
    EXPECT_TRUE(record.AC_WEBSITE_URL == L"www.example.org");
    applier.WindowTitle(1, L"Budget");
    EXPECT_TRUE(*live.m_windowTitle.Get() == L"Budget");
    EXPECT_EQ(1u, record.AC_WINDOWS_ENABLED);
}

TEST_F(SettingsApplierTest, ActionFlagsReachTheLiveSettings)
{
    applier.Action(ISettingsPages::kTaskManager, 9);
    applier.Action(ISettingsPages::kMute, 0);
    EXPECT_EQ(1, live.m_taskManagerOffOn.load());
    EXPECT_EQ(1u, record.AC_TASKMGR);
    EXPECT_EQ(0, live.m_muteOn.load());
}

TEST_F(SettingsApplierTest, ProcessListIsReplacedWhileOldReadersKeepTheirCopy)
{
    applier.Processes(1, {L"a.exe", L"b.exe"});
    auto heldBySwitcher = live.m_processNames.Get();
    applier.Processes(1, {});
    EXPECT_EQ(2u, heldBySwitcher->size());
    EXPECT_EQ(L"b.exe", (*heldBySwitcher)[1]);
    EXPECT_TRUE(live.m_processNames.Get()->empty());
    EXPECT_EQ(0u, record.AC_PROCESSES_COUNT);
    EXPECT_EQ(1, live.m_terminateProcessesOn.load()) << "on, even with an empty list";
}

TEST_F(SettingsApplierTest, AutostartWritesTheProgramPathAndRemovesIt)
{
    applier.Autostart(1);
    EXPECT_EQ(L"\"" + std::wstring(kProgram) + L"\"", RunValue());
    applier.Autostart(0);
    EXPECT_EQ(L"<none>", RunValue());
    applier.Autostart(0);  // a missing value is no error
    EXPECT_EQ(0u, record.SS_STARTUP);
}

TEST_F(SettingsApplierTest, AutostartRepairsTheEntryOfAMovedProgram)
{
    run.WriteString(live.m_shortName, L"D:\\Old\\Quillow.exe");
    applier.Autostart(1);
    EXPECT_EQ(L"\"" + std::wstring(kProgram) + L"\"", RunValue());
}

// The default install folder of a user whose name has a blank. Unquoted,
// Windows would try C:\Users\Ann.exe first.
constexpr const wchar_t* kBlankProgram =
    L"C:\\Users\\Ann Lee\\AppData\\Local\\Programs\\Quillow\\Quillow.exe";

TEST_F(SettingsApplierTest, AutostartQuotesAPathWithABlank)
{
    applier.SetProgramPath(kBlankProgram);
    applier.Autostart(1);
    EXPECT_EQ(L"\"" + std::wstring(kBlankProgram) + L"\"", RunValue());
}

TEST_F(SettingsApplierTest, AutostartRepairsAnUnquotedEntryWhosePathHasABlank)
{
    applier.SetProgramPath(kBlankProgram);
    run.WriteString(live.m_shortName, kBlankProgram);
    applier.Autostart(1);
    EXPECT_EQ(L"\"" + std::wstring(kBlankProgram) + L"\"", RunValue());
}

TEST_F(SettingsApplierTest, AutostartLeavesAQuotedEntryThatDiffersOnlyInLetterCase)
{
    applier.SetProgramPath(kBlankProgram);
    const wchar_t* stored =
        L"\"c:\\users\\ann lee\\appdata\\local\\programs\\quillow\\QUILLOW.EXE\"";
    run.WriteString(live.m_shortName, stored);
    applier.Autostart(1);
    EXPECT_EQ(stored, RunValue());
}

TEST(RunValueTest, BothFormsNameTheProgramButOnlyTheQuotedOneIsSafeWithABlank)
{
    EXPECT_TRUE(CSettingsApplier::IsGoodRunValue(L"\"C:\\A\\Q.exe\"", L"C:\\A\\Q.exe"));
    EXPECT_TRUE(CSettingsApplier::IsGoodRunValue(L"C:\\A\\Q.exe", L"C:\\A\\Q.exe"));
    EXPECT_TRUE(CSettingsApplier::IsGoodRunValue(L"\"C:\\A B\\Q.exe\"", L"C:\\A B\\Q.exe"));
    EXPECT_FALSE(CSettingsApplier::IsGoodRunValue(L"C:\\A B\\Q.exe", L"C:\\A B\\Q.exe"));
    // Half quoted, or with something after it, is another command line.
    EXPECT_FALSE(CSettingsApplier::IsGoodRunValue(L"\"C:\\A\\Q.exe", L"C:\\A\\Q.exe"));
    EXPECT_FALSE(CSettingsApplier::IsGoodRunValue(L"\"C:\\A\\Q.exe\" /x", L"C:\\A\\Q.exe"));
    EXPECT_FALSE(CSettingsApplier::IsGoodRunValue(L"\"D:\\Q.exe\"", L"C:\\A\\Q.exe"));
    EXPECT_FALSE(CSettingsApplier::IsGoodRunValue(nullptr, L"C:\\A\\Q.exe"));
}

TEST_F(SettingsApplierTest, AutostartLeavesAnEntryThatDiffersOnlyInLetterCase)
{
    run.WriteString(live.m_shortName, L"c:\\apps\\quillow\\QUILLOW.EXE");
    applier.Autostart(1);
    EXPECT_EQ(L"c:\\apps\\quillow\\QUILLOW.EXE", RunValue());
}

TEST_F(SettingsApplierTest, ApplyingEverythingArmsTheDefaults)
{
    record.SW_WHEEL = record.SW_DOUBLE = 1;
    record.SW_HOTKEY = VK_F1;
    record.SS_STARTUP = record.SS_TRAYICON = record.SS_UPDATE = 1;
    record.SS_HOTKEY_ENABLED = 1;
    record.SS_HOTKEY = VK_F2;
    record.SS_ALT = 1;
    applier.ApplyAll();
    EXPECT_EQ((std::vector<std::string>{"middle 1", "double 1", "key 0 0 0 0", "register 1 113"}),
              effects.calls);
    EXPECT_TRUE(effects.trayShown);
    EXPECT_EQ(1, live.m_updateCheckOn.load());
    EXPECT_EQ(L"\"" + std::wstring(kProgram) + L"\"", RunValue());
    EXPECT_TRUE(live.m_switchPassword.Get()->empty());
}

// An empty live password asks for none: the stand-in for one that could
// not be read must reach the password threads as it is.
TEST_F(SettingsApplierTest, UnreadablePasswordIsInForceAsOneNoAnswerMatches)
{
    record.PWD_ORIG_ENABLED = 1;
    record.PWD_ORIG.Assign(CUnmatchablePassword::Text());
    applier.ApplyAll();
    EXPECT_EQ(1u, record.PWD_ORIG_ENABLED);
    EXPECT_FALSE(live.m_restorePassword.Get()->empty());
    EXPECT_STREQ(CUnmatchablePassword::Text(), live.m_restorePassword.Get()->c_str());
}

// ---- what the user is told at start ----

TEST(UnmatchablePasswordTest, NoticeNamesTheDirectionThatStaysLocked)
{
    CSettingsRecord record;
    EXPECT_EQ(nullptr, CUnmatchablePassword::NoticeFor(record));
    record.PWD_VIRT_ENABLED = 1;
    record.PWD_VIRT.Assign(CUnmatchablePassword::Text());
    EXPECT_STREQ(L"The Switch to Virtual Desktop Password could not be read, so that switch "
                 L"stays locked. Please set the password again in the settings window.",
                 CUnmatchablePassword::NoticeFor(record));
    record.PWD_ORIG_ENABLED = 1;
    record.PWD_ORIG.Assign(CUnmatchablePassword::Text());
    EXPECT_STREQ(L"The two switch passwords could not be read, so both switches stay locked. "
                 L"Please set the passwords again in the settings window.",
                 CUnmatchablePassword::NoticeFor(record));
    record.PWD_VIRT.Assign(L"fine");
    EXPECT_STREQ(L"The Switch to Original Desktop Password could not be read, so that switch "
                 L"stays locked. Please set the password again in the settings window before "
                 L"you switch.",
                 CUnmatchablePassword::NoticeFor(record));
}

TEST(UnmatchablePasswordTest, ReadablePasswordsGiveNoNotice)
{
    CSettingsRecord record;
    record.PWD_VIRT_ENABLED = 1;
    record.PWD_VIRT.Assign(L"Secret1");
    record.PWD_ORIG_ENABLED = 0;
    EXPECT_EQ(nullptr, CUnmatchablePassword::NoticeFor(record));
    EXPECT_FALSE(CUnmatchablePassword::Is(L"Secret1"));
    EXPECT_FALSE(CUnmatchablePassword::Is(L""));
    EXPECT_FALSE(CUnmatchablePassword::Is(nullptr));
}

}  // namespace
