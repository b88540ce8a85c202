#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "CPersistentSwitch.h"
#include "CRestartHistory.h"
#include "CSiblingPath.h"
#include "CWatchCommandLine.h"
#include "CWatchVerdict.h"
#include "threads/CWatchdog.h"

namespace {

HANDLE AsHandle(uint64_t value) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)); }

// Quillow's marks, as a run makes them, and what the watchdog then undoes
// if the run ends there without its clean stop.
class WatchVerdictTest : public ::testing::Test {
protected:
    CWatchVerdict Verdict() const { return CWatchVerdict::AfterExit(block); }

    CWatchBlock block{};
    CWatchdog watchdog{&block};
};

TEST_F(WatchVerdictTest, KilledBeforeAnySwitchUndoesNothing)
{
    EXPECT_FALSE(Verdict().SwitchBack());
    EXPECT_FALSE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, KilledOnThePrivateDesktopSwitchesBackAndEnablesTheTaskManager)
{
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.SetPrivateShown(true);
    EXPECT_TRUE(Verdict().SwitchBack());
    EXPECT_TRUE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, KilledOnThePrivateDesktopWithoutThePolicyOnlySwitchesBack)
{
    watchdog.SetPrivateShown(true);
    EXPECT_TRUE(Verdict().SwitchBack());
    EXPECT_FALSE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, KilledWhileTheActionsRunBeforeTheSwitchEnablesTheTaskManagerOnly)
{
    // Closing windows by title can take seconds after the policy is written.
    watchdog.SetTaskManagerPolicySet(true);
    EXPECT_FALSE(Verdict().SwitchBack());
    EXPECT_TRUE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, KilledAfterComingBackUndoesNothing)
{
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.SetPrivateShown(true);
    watchdog.SetPrivateShown(false);
    watchdog.SetTaskManagerPolicySet(false);
    EXPECT_FALSE(Verdict().SwitchBack());
    EXPECT_FALSE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, ACleanStopOnThePrivateDesktopLeavesItAndThePolicyAsTheyAre)
{
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.SetPrivateShown(true);
    watchdog.MarkCleanStop();
    EXPECT_FALSE(Verdict().SwitchBack());
    EXPECT_FALSE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, AnyNonZeroFieldCountsAsSet)
{
    block.privateShown = 7;
    block.taskManagerPolicySet = -1;
    EXPECT_TRUE(Verdict().SwitchBack());
    EXPECT_TRUE(Verdict().RestoreTaskManager());
}

// A restore password guards the way back: no kill opens the original
// desktop. Quillow comes back instead, and its prompt asks as before.
TEST_F(WatchVerdictTest, KilledOnAGuardedPrivateDesktopStartsQuillowAgainInsteadOfSwitching)
{
    watchdog.SetRestoreGuarded(true);
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.SetPrivateShown(true);
    EXPECT_FALSE(Verdict().SwitchBack());
    EXPECT_TRUE(Verdict().RestartQuillow());
    EXPECT_TRUE(Verdict().RestoreTaskManager());
}

TEST_F(WatchVerdictTest, PastTheRestartsAllowedTheGuardedDesktopIsLeftAsItIs)
{
    watchdog.SetRestoreGuarded(true);
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.SetPrivateShown(true);
    const CWatchVerdict verdict = CWatchVerdict::AfterExit(block, false);
    EXPECT_FALSE(verdict.SwitchBack());
    EXPECT_FALSE(verdict.RestartQuillow());
    EXPECT_TRUE(verdict.RestoreTaskManager());
}

TEST_F(WatchVerdictTest, TheGuardMattersOnlyOnThePrivateDesktop)
{
    watchdog.SetRestoreGuarded(true);
    EXPECT_FALSE(Verdict().RestartQuillow()) << "killed on the original desktop";
    watchdog.SetPrivateShown(true);
    watchdog.MarkCleanStop();
    EXPECT_FALSE(Verdict().RestartQuillow()) << "a clean stop";
}

TEST_F(WatchVerdictTest, WithoutTheGuardAKillStillSwitchesBack)
{
    watchdog.SetRestoreGuarded(true);
    watchdog.SetRestoreGuarded(false);
    watchdog.SetPrivateShown(true);
    EXPECT_TRUE(Verdict().SwitchBack());
    EXPECT_FALSE(Verdict().RestartQuillow());
}

// Someone else showed the private desktop, and Quillow died before it knew.
TEST_F(WatchVerdictTest, APrivateDesktopTheSystemNamesShownIsLeftLikeAMarkedOne)
{
    EXPECT_TRUE(CWatchVerdict::AfterExit(block, true, true).SwitchBack());
    watchdog.SetRestoreGuarded(true);
    EXPECT_TRUE(CWatchVerdict::AfterExit(block, true, true).RestartQuillow());
    watchdog.MarkCleanStop();
    EXPECT_FALSE(CWatchVerdict::AfterExit(block, true, true).SwitchBack());
}

// The restarts of the last minute, as the watchdogs of one chain pass them on.
TEST(RestartHistoryTest, ThreeRestartsAMinuteAreTheMost)
{
    CRestartHistory history;
    const ULONGLONG start = 5000000;
    for (ULONGLONG i = 0; i < 3; ++i) {
        ASSERT_TRUE(history.Allows(start + i * 1000)) << i;
        history.Record(start + i * 1000);
    }
    EXPECT_FALSE(history.Allows(start + 3000));
    // A minute after the first, one more is allowed again.
    EXPECT_TRUE(history.Allows(start + CRestartHistory::kWindowMs));
}

TEST(RestartHistoryTest, WhatOneWatchdogWritesTheNextReads)
{
    CRestartHistory first;
    first.Record(123456789012ull);
    first.Record(123456790012ull);
    wchar_t text[CRestartHistory::kTextChars];
    ASSERT_TRUE(first.Format(text, CRestartHistory::kTextChars));
    EXPECT_STREQ(L"123456789012 123456790012", text);
    CRestartHistory next;
    next.Parse(text);
    EXPECT_EQ(2u, next.Count());
    next.Record(123456791012ull);
    EXPECT_FALSE(next.Allows(123456792012ull));
}

TEST(RestartHistoryTest, ATextNotWrittenByAWatchdogCountsAsNoHistory)
{
    for (const wchar_t* text : {L"", L"abc", L"12 x", L"1 2 3 4", L"-5", L"99999999999999999999999",
                                L"12,13"}) {
        CRestartHistory history;
        history.Parse(text);
        EXPECT_EQ(0u, history.Count()) << std::wstring(text).size();
    }
    CRestartHistory history;
    history.Parse(nullptr);
    EXPECT_EQ(0u, history.Count());
}

TEST(RestartHistoryTest, TicksFromAnotherBootOrTheFutureAreNotCounted)
{
    CRestartHistory history;
    history.Parse(L"900000 900500 901000");
    EXPECT_FALSE(history.Allows(901500));
    EXPECT_TRUE(history.Allows(800000)) << "a restart after the next boot";
}

TEST(RestartHistoryTest, TheTextIsNeverWrittenPastItsBuffer)
{
    CRestartHistory history;
    history.Record(18446744073709551000ull);
    wchar_t text[8];
    for (wchar_t& ch : text)
        ch = L'#';
    EXPECT_FALSE(history.Format(text, 6));
    EXPECT_STREQ(L"", text);
    EXPECT_EQ(L'#', text[6]);
}

// Under Wine SwitchDesktop never fails; the refusal of a locked session is
// a fake here.
struct SwitchAttempts {
    int refusalsLeft;
    int tries;
    int chancesLeft;
    int waits;
};
SwitchAttempts g_attempts;

BOOL WINAPI RefusingSwitch(HDESK)
{
    ++g_attempts.tries;
    return g_attempts.refusalsLeft-- > 0 ? FALSE : TRUE;
}

bool CountedChance(void*)
{
    ++g_attempts.waits;
    return g_attempts.chancesLeft-- > 0;
}

TEST(PersistentSwitchTest, ARefusedSwitchIsTriedAgainAtEachChanceUntilItWorks)
{
    g_attempts = {2, 0, 10, 0};
    EXPECT_TRUE(CPersistentSwitch::Show(static_cast<HDESK>(AsHandle(0x44)), RefusingSwitch, CountedChance, nullptr));
    EXPECT_EQ(3, g_attempts.tries);
    EXPECT_EQ(2, g_attempts.waits) << "one wait for each refusal, no try without a chance";
}

TEST(PersistentSwitchTest, AShownDesktopIsNotWaitedFor)
{
    g_attempts = {0, 0, 10, 0};
    EXPECT_TRUE(CPersistentSwitch::Show(static_cast<HDESK>(AsHandle(0x44)), RefusingSwitch, CountedChance, nullptr));
    EXPECT_EQ(0, g_attempts.waits);
}

TEST(PersistentSwitchTest, WithNoMoreChancesItGivesUp)
{
    g_attempts = {100, 0, 1, 0};
    EXPECT_FALSE(CPersistentSwitch::Show(static_cast<HDESK>(AsHandle(0x44)), RefusingSwitch, CountedChance, nullptr));
    EXPECT_EQ(2, g_attempts.tries);
}

TEST(SiblingPathTest, TheFileBesideUsOrNothingWhenItDoesNotFit)
{
    wchar_t own[MAX_PATH];
    const DWORD ownLength = GetModuleFileNameW(nullptr, own, MAX_PATH);
    ASSERT_GT(ownLength, 0u);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(CSiblingPath::Make(L"QuillowWatch.exe", path, MAX_PATH));
    const std::wstring made(path), mine(own);
    const size_t folder = mine.find_last_of(L"\\/") + 1;
    EXPECT_EQ(mine.substr(0, folder) + L"QuillowWatch.exe", made);

    // Room for the folder and the name but not its closing zero.
    const DWORD tight = static_cast<DWORD>(folder + 16);
    std::wstring buffer(tight + 4, L'#');
    EXPECT_FALSE(CSiblingPath::Make(L"QuillowWatch.exe", buffer.data(), tight));
    EXPECT_EQ(L'\0', buffer[0]);
    EXPECT_EQ(std::wstring(4, L'#'), buffer.substr(tight));
    EXPECT_TRUE(CSiblingPath::Make(L"QuillowWatch.exe", buffer.data(), tight + 1));
    EXPECT_FALSE(CSiblingPath::Make(L"x", path, 0));
}

TEST(WatchdogStartTest, AMissingWatchdogFailsToStartAndTheMarksStillWork)
{
    CWatchBlock block{};
    CWatchdog watchdog(&block);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(watchdog.Start(L"C:\\no such folder\\QuillowWatch.exe"));
    watchdog.SetPrivateShown(true);
    watchdog.SetTaskManagerPolicySet(true);
    watchdog.MarkCleanStop();
}

// The line Quillow writes and the watchdog reads.
class WatchCommandLineTest : public ::testing::Test {
protected:
    bool Parse(const wchar_t* line) { return CWatchCommandLine::Parse(line, &quillow, &block); }

    HANDLE quillow = nullptr;
    HANDLE block = nullptr;
};

TEST_F(WatchCommandLineTest, WhatQuillowWritesTheWatchdogReadsBack)
{
    wchar_t line[CWatchCommandLine::kChars];
    ASSERT_TRUE(CWatchCommandLine::Format(line, CWatchCommandLine::kChars,
                                          L"C:\\Program Files\\Quillow\\QuillowWatch.exe",
                                          AsHandle(0x1a4), AsHandle(0xffffffff00000b0)));
    EXPECT_STREQ(L"\"C:\\Program Files\\Quillow\\QuillowWatch.exe\" 1a4 ffffffff00000b0", line);
    ASSERT_TRUE(Parse(line));
    EXPECT_EQ(AsHandle(0x1a4), quillow);
    EXPECT_EQ(AsHandle(0xffffffff00000b0), block);
}

TEST_F(WatchCommandLineTest, APathWithAQuoteIsRefusedRatherThanSplitIntoArguments)
{
    wchar_t line[CWatchCommandLine::kChars] = L"stale";
    EXPECT_FALSE(CWatchCommandLine::Format(line, CWatchCommandLine::kChars,
                                           L"C:\\a\" 1 2 \"b\\QuillowWatch.exe", AsHandle(4),
                                           AsHandle(8)));
    EXPECT_STREQ(L"", line);
}

TEST_F(WatchCommandLineTest, ALineThatDoesNotFitIsRefusedAndNothingIsWrittenPastTheBuffer)
{
    // "\"C:\\w.exe\" 4 8" needs 15 characters with its zero.
    wchar_t line[16];
    for (wchar_t& ch : line)
        ch = L'#';
    EXPECT_FALSE(CWatchCommandLine::Format(line, 14, L"C:\\w.exe", AsHandle(4), AsHandle(8)));
    EXPECT_STREQ(L"", line);
    EXPECT_EQ(L'#', line[14]);
    EXPECT_EQ(L'#', line[15]);
    EXPECT_TRUE(CWatchCommandLine::Format(line, 15, L"C:\\w.exe", AsHandle(4), AsHandle(8)));
    EXPECT_STREQ(L"\"C:\\w.exe\" 4 8", line);
    EXPECT_FALSE(CWatchCommandLine::Format(line, 0, L"C:\\w.exe", AsHandle(4), AsHandle(8)));
}

TEST_F(WatchCommandLineTest, ABareProgramNameAndExtraBlanksAreRead)
{
    ASSERT_TRUE(Parse(L"QuillowWatch.exe   1A4\t  B0  "));
    EXPECT_EQ(AsHandle(0x1a4), quillow);
    EXPECT_EQ(AsHandle(0xb0), block);
}

TEST_F(WatchCommandLineTest, SixteenDigitsAreTheMostAHandleHas)
{
    EXPECT_TRUE(Parse(L"\"w.exe\" ffffffffffffffff 1"));
    EXPECT_EQ(AsHandle(UINT64_MAX), quillow);
    EXPECT_FALSE(Parse(L"\"w.exe\" 1ffffffffffffffff 1"));
}

TEST_F(WatchCommandLineTest, AnythingButExactlyTwoNonZeroHexValuesIsRefused)
{
    for (const wchar_t* line : {L"", L"\"w.exe\"", L"\"w.exe\" 1a4", L"\"w.exe\" 1a4 b0 c",
                                L"\"w.exe\" 0 b0", L"\"w.exe\" 1a4 0", L"\"w.exe\" 1a4x b0",
                                L"\"w.exe\" -1 b0", L"\"w.exe\" 0x1a4 b0", L"\"w.exe 1a4 b0",
                                L"\"w.exe\" 1a4,b0"}) {
        quillow = block = nullptr;
        EXPECT_FALSE(Parse(line)) << std::wstring(line).size();
        EXPECT_EQ(nullptr, quillow);
        EXPECT_EQ(nullptr, block);
    }
    EXPECT_FALSE(CWatchCommandLine::Parse(nullptr, &quillow, &block));
}

}  // namespace
