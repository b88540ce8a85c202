#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

#include "threads/CCrashGuard.h"

namespace {

std::vector<HDESK> g_switchedTo;

BOOL WINAPI RecordSwitch(HDESK desktop)
{
    g_switchedTo.push_back(desktop);
    return TRUE;
}

BOOL WINAPI ReportSwitch(HDESK desktop)
{
    std::fprintf(stderr, "switched back to %p\n", static_cast<void*>(desktop));
    std::fflush(stderr);
    return TRUE;
}

const HDESK kOriginal = reinterpret_cast<HDESK>(static_cast<uintptr_t>(0x1234));

class CrashGuardTest : public ::testing::Test {
protected:
    void SetUp() override { g_switchedTo.clear(); }
    CCrashGuard guard{RecordSwitch};
};

TEST_F(CrashGuardTest, DoesNothingWhileTheOriginalDesktopIsShown)
{
    guard.SetOriginalDesktop(kOriginal);
    EXPECT_FALSE(guard.SwitchBackIfPrivateShown());
    EXPECT_TRUE(g_switchedTo.empty());
}

TEST_F(CrashGuardTest, ShowsTheOriginalDesktopWhenThePrivateOneIsShown)
{
    guard.SetOriginalDesktop(kOriginal);
    guard.SetPrivateShown(true);
    EXPECT_TRUE(guard.SwitchBackIfPrivateShown());
    EXPECT_EQ(std::vector<HDESK>{kOriginal}, g_switchedTo);
    // Once back, a second call has nothing to undo.
    EXPECT_FALSE(guard.SwitchBackIfPrivateShown());
}

TEST_F(CrashGuardTest, DoesNothingBeforeTheOriginalDesktopIsKnown)
{
    guard.SetPrivateShown(true);
    EXPECT_FALSE(guard.SwitchBackIfPrivateShown());
    EXPECT_TRUE(g_switchedTo.empty());
}

TEST_F(CrashGuardTest, UnhandledExceptionSwitchesBackAndLetsWindowsReportIt)
{
    guard.SetOriginalDesktop(kOriginal);
    guard.SetPrivateShown(true);
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    EXCEPTION_POINTERS pointers{&record, nullptr};
    EXPECT_EQ(EXCEPTION_CONTINUE_SEARCH, guard.OnUnhandledException(&pointers));
    EXPECT_EQ(std::vector<HDESK>{kOriginal}, g_switchedTo);
}

LONG WINAPI EndQuietly(EXCEPTION_POINTERS*)
{
    // Stands in for Windows' own crash handling, which would start a debugger.
    return EXCEPTION_EXECUTE_HANDLER;
}

void CrashWhilePrivateDesktopIsShown()
{
    SetUnhandledExceptionFilter(EndQuietly);
    static CCrashGuard guard(ReportSwitch);
    guard.Install();
    guard.SetOriginalDesktop(kOriginal);
    guard.SetPrivateShown(true);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

TEST(CrashGuardDeathTest, RealCrashShowsTheOriginalDesktopBeforeTheProcessEnds)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(CrashWhilePrivateDesktopIsShown(), "switched back to 0*1234");
}

}  // namespace
