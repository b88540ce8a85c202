#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "RecordingEffects.h"
#include "res/resource.h"
#include "ScratchRegistryKey.h"
#include "settings/CSettingsApplier.h"
#include "settings/CSettingsStore.h"
#include "settings/CUnmatchablePassword.h"
#include "ui/CApplyCommand.h"
#include "ui/CSettingsPagesSync.h"

namespace {

// The pages as the user left them: check boxes, hot-key boxes and texts by id.
class FakeBasicPage : public IBasicPageReader {
public:
    std::map<int, DWORD> checks;
    std::map<int, CHotkeyCode> keys;
    std::map<int, std::wstring> passwords;
    // The fields the command sent the user back to, in order.
    mutable std::vector<int> corrected;

    DWORD IsChecked(int id) const override { return checks.count(id) ? checks.at(id) : 0; }
    CHotkeyCode ReadHotKey(int id, DWORD enabled) const override
    {
        CHotkeyCode code = keys.count(id) ? keys.at(id) : CHotkeyCode{};
        code.enabled = enabled;
        return code;
    }
    void ReadPassword(int id, wchar_t (&text)[16]) const override
    {
        lstrcpynW(text, passwords.count(id) ? passwords.at(id).c_str() : L"", 15);
    }
    void SelectForCorrection(int id) const override { corrected.push_back(id); }
};

class FakeAdvancedPage : public IAdvancedPageReader {
public:
    std::map<int, DWORD> checks;
    std::map<int, std::wstring> texts;
    std::vector<std::wstring> processes;

    DWORD IsChecked(int id) const override { return checks.count(id) ? checks.at(id) : 0; }
    void ReadText(int id, wchar_t (&text)[260]) const override
    {
        lstrcpynW(text, texts.count(id) ? texts.at(id).c_str() : L"", 260);
    }
    const std::vector<std::wstring>& Processes() const override { return processes; }
};

// The command against a scratch program key; the pages start out showing
// exactly the record, as they do when they have just been filled.
class ApplyCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        applier.SetProgramPath(L"C:\\Apps\\Quillow.exe");
        record.SS_TRAYICON = 1;
        record.SS_HOTKEY_ENABLED = 1;
        record.SS_HOTKEY = VK_F2;
        record.SS_ALT = 1;
        basic.checks[IDC_SS_TRAYICON] = 1;
        basic.checks[IDC_SS_HOTKEY_ENABLED] = 1;
        basic.keys[IDC_SS_HOTKEY] = CHotkeyCode{1, VK_F2, 0, 0, 1};
    }

    bool Apply(bool withBasic = true, bool withAdvanced = true)
    {
        return command.Run(nullptr, withBasic ? &basic : nullptr,
                           withAdvanced ? &advanced : nullptr);
    }

    void SetSwitchPassword(const wchar_t* entry, const wchar_t* confirmation)
    {
        basic.checks[IDC_PWD_VIRT_ENABLED] = 1;
        basic.passwords[IDC_PWD_VIRT] = entry;
        basic.passwords[IDC_PWD_VIRT_CONFIRM] = confirmation;
    }

    void SetRestorePassword(const wchar_t* entry, const wchar_t* confirmation)
    {
        basic.checks[IDC_PWD_ORIG_ENABLED] = 1;
        basic.passwords[IDC_PWD_ORIG] = entry;
        basic.passwords[IDC_PWD_ORIG_CONFIRM] = confirmation;
    }

    const CScratchRegistryKey scratch{L"Apply"};
    CSettingsRecord record;
    CMyAppModule live;
    RecordingEffects effects;
    CSettingsPagesSync pages;
    CSettingsApplier applier{record, live, effects, pages};
    CSettingsStore store{scratch.Path().c_str()};
    std::vector<std::wstring> hints;
    CApplyCommand command{record, applier, store, live,
                          [this](HWND, const wchar_t* text, const wchar_t* caption, UINT flags) {
                              EXPECT_STREQ(L"Setting hint", caption);
                              EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), flags);
                              hints.push_back(text);
                              return IDOK;
                          }};
    FakeBasicPage basic;
    FakeAdvancedPage advanced;
};

TEST_F(ApplyCommandTest, NothingChangedWritesNothing)
{
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_TRUE(hints.empty());
    EXPECT_FALSE(scratch.Has(L"SW_WHEEL"));
    EXPECT_FALSE(scratch.Has(L"SS_TRAYICON"));
    EXPECT_FALSE(scratch.Has(L"AC_PROCESSES_COUNT"));
}

TEST_F(ApplyCommandTest, ClearedMiddleButtonIsAppliedAndWrittenAlone)
{
    record.SW_WHEEL = 1;
    EXPECT_TRUE(Apply());
    EXPECT_EQ(std::vector<std::string>{"middle 0"}, effects.calls);
    EXPECT_EQ(0u, scratch.ReadDword(L"SW_WHEEL"));
    EXPECT_FALSE(scratch.Has(L"SW_DOUBLE"));
}

TEST_F(ApplyCommandTest, SwitchHotKeyTickedWithAnEmptyBoxIsStoredOff)
{
    basic.checks[IDC_SW_HOTKEY_ENABLED] = 1;
    EXPECT_TRUE(Apply());
    EXPECT_EQ(std::vector<std::string>{"key 0 0 0 0"}, effects.calls);
    EXPECT_EQ(0u, scratch.ReadDword(L"SW_HOTKEY_ENABLED"));
    EXPECT_EQ(0u, scratch.ReadDword(L"SW_HOTKEY"));
}

TEST_F(ApplyCommandTest, NewSwitchHotKeyArmsTheLibraryAndIsWritten)
{
    basic.checks[IDC_SW_HOTKEY_ENABLED] = 1;
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{1, VK_F9, 1, 0, 0};
    EXPECT_TRUE(Apply());
    EXPECT_EQ(std::vector<std::string>{"key 120 0 1 0"}, effects.calls);
    EXPECT_EQ(static_cast<DWORD>(VK_F9), scratch.ReadDword(L"SW_HOTKEY"));
    EXPECT_EQ(1u, scratch.ReadDword(L"SW_CTRL"));
}

TEST_F(ApplyCommandTest, HidingTheTrayIconWithoutTheSettingsHotKeyIsRefused)
{
    for (bool keyTickedButEmpty : {false, true}) {
        SCOPED_TRACE(keyTickedButEmpty ? "hot key ticked, box empty" : "hot key off");
        hints.clear();
        basic.checks[IDC_SS_TRAYICON] = 0;
        basic.checks[IDC_SS_HOTKEY_ENABLED] = keyTickedButEmpty ? 1 : 0;
        basic.keys[IDC_SS_HOTKEY] = CHotkeyCode{};
        advanced.checks[IDC_AC_MUTE] = 1;
        EXPECT_FALSE(Apply());
        ASSERT_EQ(1u, hints.size());
        EXPECT_EQ(0u, hints[0].find(L"Can not hide the tray icon and disable the `show settings "
                                    L"dialog' hotkey at the same time"));
        EXPECT_TRUE(effects.trayShown);
        EXPECT_EQ(1u, record.SS_TRAYICON);
        EXPECT_EQ(1u, scratch.ReadDword(L"SS_TRAYICON"));
        EXPECT_EQ(0u, record.AC_MUTE) << "nothing after the message is applied";
        EXPECT_FALSE(scratch.Has(L"AC_MUTE"));
    }
}

TEST_F(ApplyCommandTest, HidingTheTrayIconWithTheSettingsHotKeyOnIsApplied)
{
    basic.checks[IDC_SS_TRAYICON] = 0;
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(hints.empty());
    EXPECT_EQ(0u, scratch.ReadDword(L"SS_TRAYICON"));
}

TEST_F(ApplyCommandTest, SwitchPasswordsDifferingOnlyInCaseAreRefused)
{
    SetSwitchPassword(L"Secret", L"secret");
    advanced.checks[IDC_AC_MUTE] = 1;
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{
                  L"Switch to Virtual Desktop Password DO NOT Match, Please enter Again."},
              hints);
    EXPECT_FALSE(scratch.Has(L"PWD_VIRT"));
    EXPECT_EQ(0u, record.AC_MUTE);
    EXPECT_EQ(std::vector<int>{IDC_PWD_VIRT_CONFIRM}, basic.corrected);
}

// Accepting these would leave the user unsure which of the two is stored.
TEST_F(ApplyCommandTest, RestorePasswordsDifferingOnlyInCaseAreRefusedToo)
{
    SetRestorePassword(L"Secret", L"SECRET");
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{
                  L"Switch to Original Desktop Password DO NOT Match, Please enter Again."},
              hints);
    EXPECT_FALSE(scratch.Has(L"PWD_ORIG"));
    EXPECT_STREQ(L"", live.m_restorePassword.Get()->c_str());
    EXPECT_EQ(std::vector<int>{IDC_PWD_ORIG_CONFIRM}, basic.corrected);
}

// The prompt compares exactly: a password changed only in case and not
// applied would keep the old one in force, and the user could not pass it.
TEST_F(ApplyCommandTest, PasswordChangedOnlyInCaseIsAppliedAndWritten)
{
    applier.SwitchPassword(1, L"secret");
    applier.RestorePassword(1, L"back");
    SetSwitchPassword(L"Secret", L"Secret");
    SetRestorePassword(L"BACK", L"BACK");
    EXPECT_TRUE(Apply());
    EXPECT_STREQ(L"Secret", live.m_switchPassword.Get()->c_str());
    EXPECT_EQ(L"Secret", scratch.ReadText(L"PWD_VIRT"));
    EXPECT_STREQ(L"BACK", live.m_restorePassword.Get()->c_str());
    EXPECT_EQ(L"BACK", scratch.ReadText(L"PWD_ORIG"));
}

const wchar_t kSwitchEmpty[] =
    L"Switch to Virtual Desktop Password can not be empty, Please enter a password or uncheck it.";
const wchar_t kRestoreEmpty[] =
    L"Switch to Original Desktop Password can not be empty, Please enter a password or uncheck it.";

// Stored as off, the user would think the direction guarded.
TEST_F(ApplyCommandTest, SwitchPasswordTickedWithEmptyBoxesIsRefusedAndNothingWritten)
{
    SetSwitchPassword(L"", L"");
    advanced.checks[IDC_AC_MUTE] = 1;
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kSwitchEmpty}, hints);
    EXPECT_FALSE(scratch.Has(L"PWD_VIRT_ENABLED"));
    EXPECT_FALSE(scratch.Has(L"PWD_VIRT"));
    EXPECT_FALSE(scratch.Has(L"AC_MUTE"));
    EXPECT_EQ(0u, record.PWD_VIRT_ENABLED);
}

TEST_F(ApplyCommandTest, RestorePasswordTickedWithAnEmptyEntryIsRefused)
{
    SetRestorePassword(L"", L"back");
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kRestoreEmpty}, hints);
    EXPECT_FALSE(scratch.Has(L"PWD_ORIG_ENABLED"));
    EXPECT_FALSE(scratch.Has(L"PWD_ORIG"));
    EXPECT_STREQ(L"", live.m_restorePassword.Get()->c_str());
}

// A password that could not be read shows as a ticked box with empty
// entries; applying them as they are keeps the direction guarded.
TEST_F(ApplyCommandTest, UnreadablePasswordLeftAsShownIsRefusedAndStaysGuarded)
{
    applier.SwitchPassword(1, CUnmatchablePassword::Text());
    SetSwitchPassword(L"", L"");
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kSwitchEmpty}, hints);
    EXPECT_STREQ(CUnmatchablePassword::Text(), live.m_switchPassword.Get()->c_str());
    EXPECT_FALSE(scratch.Has(L"PWD_VIRT"));
}

TEST_F(ApplyCommandTest, UnreadablePasswordSetAgainIsAppliedAndWritten)
{
    applier.RestorePassword(1, CUnmatchablePassword::Text());
    SetRestorePassword(L"again", L"again");
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(hints.empty());
    EXPECT_STREQ(L"again", live.m_restorePassword.Get()->c_str());
    EXPECT_EQ(L"again", scratch.ReadText(L"PWD_ORIG"));
    EXPECT_EQ(1u, scratch.ReadDword(L"PWD_ORIG_ENABLED"));
}

TEST_F(ApplyCommandTest, UnreadablePasswordUntickedTurnsTheGuardOff)
{
    applier.SwitchPassword(1, CUnmatchablePassword::Text());
    basic.checks[IDC_PWD_VIRT_ENABLED] = 0;
    EXPECT_TRUE(Apply());
    EXPECT_STREQ(L"", live.m_switchPassword.Get()->c_str());
    EXPECT_EQ(0u, scratch.ReadDword(L"PWD_VIRT_ENABLED"));
    EXPECT_EQ(L"", scratch.ReadText(L"PWD_VIRT"));
}

TEST_F(ApplyCommandTest, AdvancedPageNeverShownChangesNoAction)
{
    advanced.checks[IDC_AC_MUTE] = 1;
    EXPECT_TRUE(Apply(true, false));
    EXPECT_EQ(0u, record.AC_MUTE);
    EXPECT_FALSE(scratch.Has(L"AC_MUTE"));
}

TEST_F(ApplyCommandTest, BasicPageNeverShownIsNotRead)
{
    basic.checks[IDC_SW_WHEEL] = 1;
    basic.checks[IDC_SS_TRAYICON] = 0;
    EXPECT_TRUE(Apply(false, true));
    EXPECT_TRUE(hints.empty());
    EXPECT_EQ(0u, record.SW_WHEEL);
}

TEST_F(ApplyCommandTest, ActionsAreAppliedToTheLiveSettingsAndWritten)
{
    advanced.checks[IDC_AC_TASKMGR] = 1;
    advanced.checks[IDC_AC_RECENTDOC] = 1;
    EXPECT_TRUE(Apply());
    EXPECT_EQ(1, live.m_taskManagerOffOn.load());
    EXPECT_EQ(1, live.m_recentDocsOn.load());
    EXPECT_EQ(1u, scratch.ReadDword(L"AC_TASKMGR"));
    EXPECT_FALSE(scratch.Has(L"AC_MUTE"));
}

TEST_F(ApplyCommandTest, WindowTitleChangedOnlyInCaseIsApplied)
{
    applier.WindowTitle(1, L"private");
    advanced.checks[IDC_AC_WINDOWS_ENABLED] = 1;
    advanced.texts[IDC_AC_WINDOWS_TITLE] = L"Private";
    EXPECT_TRUE(Apply());
    EXPECT_EQ(L"Private", scratch.ReadText(L"AC_WINDOWS_TITLE"));
    EXPECT_STREQ(L"Private", record.AC_WINDOWS_TITLE.c_str());
}

TEST_F(ApplyCommandTest, FileTickedWithAnEmptyPathIsStoredOffAndAPathKeptWhenUnticked)
{
    advanced.checks[IDC_AC_FILE_ENABLED] = 1;
    EXPECT_TRUE(Apply());
    EXPECT_EQ(0u, scratch.ReadDword(L"AC_FILE_ENABLED"));

    advanced.checks[IDC_AC_FILE_ENABLED] = 0;
    advanced.texts[IDC_AC_FILE_PATH] = L"C:\\Notes\\plan.docx";
    EXPECT_TRUE(Apply());
    EXPECT_EQ(0u, scratch.ReadDword(L"AC_FILE_ENABLED"));
    EXPECT_EQ(L"C:\\Notes\\plan.docx", scratch.ReadText(L"AC_FILE_PATH"));
}

TEST_F(ApplyCommandTest, ProcessesAreWrittenWithTheirCountAndACaseChangeIsNoChange)
{
    advanced.checks[IDC_AC_PROCESSES_ENABLED] = 1;
    advanced.processes = {L"notepad.exe", L"calc.exe"};
    EXPECT_TRUE(Apply());
    EXPECT_EQ(1u, scratch.ReadDword(L"AC_PROCESSES_ENABLED"));
    EXPECT_EQ(2u, scratch.ReadDword(L"AC_PROCESSES_COUNT"));
    EXPECT_EQ(L"notepad.exe", scratch.ReadText(L"AC_PROCESS0"));
    EXPECT_EQ(L"calc.exe", scratch.ReadText(L"AC_PROCESS1"));

    advanced.processes = {L"NOTEPAD.EXE", L"calc.exe"};
    scratch.PutText(L"AC_PROCESS0", L"marker");
    EXPECT_TRUE(Apply());
    EXPECT_EQ(L"marker", scratch.ReadText(L"AC_PROCESS0")) << "not written again";
}

// ---- a hot key may not take the typing of every program ----

const wchar_t kSwitchKeyRefused[] =
    L"Can not use a key that types a character as the switch hotkey without Ctrl or Alt, "
    L"otherwise you will not be able to type that character any more!";
const wchar_t kSettingsKeyRefused[] =
    L"Can not use a key that types a character as the settings dialog hotkey without Ctrl or "
    L"Alt, otherwise you will not be able to type that character any more!";

TEST_F(ApplyCommandTest, ABareLetterAsTheSwitchHotKeyIsRefusedAndNothingIsApplied)
{
    record.SW_WHEEL = 1;  // a change the same click would otherwise apply
    basic.checks[IDC_SW_HOTKEY_ENABLED] = 1;
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{1, 'A', 0, 0, 0};
    advanced.checks[IDC_AC_MUTE] = 1;
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kSwitchKeyRefused}, hints);
    EXPECT_EQ(std::vector<int>{IDC_SW_HOTKEY}, basic.corrected);
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_FALSE(scratch.Has(L"SW_HOTKEY"));
    EXPECT_FALSE(scratch.Has(L"SW_WHEEL"));
    EXPECT_EQ(0u, record.SW_HOTKEY);
    EXPECT_EQ(0u, record.AC_MUTE);
}

TEST_F(ApplyCommandTest, ShiftWithALetterIsRefusedAndCtrlWithItApplied)
{
    basic.checks[IDC_SW_HOTKEY_ENABLED] = 1;
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{1, 'A', 0, 1, 0};
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kSwitchKeyRefused}, hints);

    hints.clear();
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{1, 'A', 1, 1, 0};
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(hints.empty());
    EXPECT_EQ(static_cast<DWORD>('A'), scratch.ReadDword(L"SW_HOTKEY"));
    EXPECT_EQ(1u, scratch.ReadDword(L"SW_CTRL"));
}

TEST_F(ApplyCommandTest, ASpaceAsTheSettingsHotKeyIsRefusedToo)
{
    basic.keys[IDC_SS_HOTKEY] = CHotkeyCode{1, VK_SPACE, 0, 0, 0};
    EXPECT_FALSE(Apply());
    EXPECT_EQ(std::vector<std::wstring>{kSettingsKeyRefused}, hints);
    EXPECT_EQ(std::vector<int>{IDC_SS_HOTKEY}, basic.corrected);
    EXPECT_EQ(static_cast<DWORD>(VK_F2), record.SS_HOTKEY);
    EXPECT_FALSE(scratch.Has(L"SS_HOTKEY"));
}

// Off, the letter takes nothing from anyone; it is kept as the user left it.
TEST_F(ApplyCommandTest, ALetterInABoxWhoseHotKeyIsOffIsNoHotKeyAndNotRefused)
{
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{0, 'A', 0, 0, 0};
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(hints.empty());
}

TEST_F(ApplyCommandTest, AFunctionKeyAloneIsAHotKeyAsBefore)
{
    basic.checks[IDC_SW_HOTKEY_ENABLED] = 1;
    basic.keys[IDC_SW_HOTKEY] = CHotkeyCode{1, VK_F9, 0, 0, 0};
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(hints.empty());
    EXPECT_EQ(static_cast<DWORD>(VK_F9), scratch.ReadDword(L"SW_HOTKEY"));
}

TEST_F(ApplyCommandTest, ApplyingTwiceWritesNothingTheSecondTime)
{
    record.SW_WHEEL = 1;
    SetSwitchPassword(L"pw", L"pw");
    advanced.checks[IDC_AC_WEBSITE_ENABLED] = 1;
    advanced.texts[IDC_AC_WEBSITE_URL] = L"http://example.com/";
    EXPECT_TRUE(Apply());
    // What the pages show after the first apply is what they are read as.
    basic.checks[IDC_SW_WHEEL] = record.SW_WHEEL;
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch.Path().c_str());
    effects.calls.clear();
    EXPECT_TRUE(Apply());
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_FALSE(scratch.Has(L"SW_WHEEL"));
    EXPECT_FALSE(scratch.Has(L"PWD_VIRT"));
    EXPECT_FALSE(scratch.Has(L"AC_WEBSITE_URL"));
}

}  // namespace
