#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "CWatchCommandLine.h"
#include "CWatchVerdict.h"
#include "core/CWatchdog.h"

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
