#include <gtest/gtest.h>

#include <windows.h>

#include "threads/CPrivateShell.h"

namespace {

TEST(PrivateShellTest, CommandLineIsTheQuotedShellPath)
{
    EXPECT_EQ(L"\"C:\\Windows\\explorer.exe\"", CPrivateShell::CommandLine(L"C:\\Windows"));
    EXPECT_EQ(L"\"D:\\My Windows\\explorer.exe\"", CPrivateShell::CommandLine(L"D:\\My Windows"));
}

TEST(PrivateShellTest, StartFailsForAWindowsDirectoryWithoutShell)
{
    CPrivateShell shell;
    EXPECT_FALSE(shell.Start(L"C:\\no-such-windows", L"Default"));
    EXPECT_EQ(0u, shell.ProcessId());
}

TEST(PrivateShellTest, EndTerminatesTheShellWithExitCodeOne)
{
    wchar_t windows[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
    CPrivateShell shell;
    ASSERT_TRUE(shell.Start(windows, L"Default"));
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, shell.ProcessId());
    ASSERT_NE(nullptr, process);

    shell.End(1);

    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeProcess(process, &exitCode));
    EXPECT_EQ(1u, exitCode);
    CloseHandle(process);
    EXPECT_EQ(0u, shell.ProcessId());
}

}  // namespace
