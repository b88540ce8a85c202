// What a switch leaves behind when the system shows the desktop, and when it
// refuses: under Wine SwitchDesktop never fails, so the refusal is a fake.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "threads/CPasswordThread.h"
#include "threads/CShownDesktop.h"
#include "threads/CWatchedActions.h"

namespace {

const HDESK kOriginal = reinterpret_cast<HDESK>(static_cast<uintptr_t>(0x1234));
const HDESK kPrivate = reinterpret_cast<HDESK>(static_cast<uintptr_t>(0x5678));

std::vector<HDESK> g_shown;
bool g_refuse = false;

BOOL WINAPI FakeSwitchDesktop(HDESK desktop)
{
    g_shown.push_back(desktop);
    return g_refuse ? FALSE : TRUE;
}

class ShownDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_shown.clear();
        g_refuse = false;
        shown.SetDesktops(kOriginal, kPrivate);
    }

    // What a crash would do now: the guard's own switch, recorded apart.
    bool CrashGuardWouldSwitchBack()
    {
        const size_t before = g_shown.size();
        const bool refused = g_refuse;
        g_refuse = false;
        const bool switched = crashGuard.SwitchBackIfPrivateShown();
        g_refuse = refused;
        if (switched)
            g_shown.resize(before);
        return switched;
    }

    CWatchBlock block{};
    CWatchdog watchdog{&block};
    CCrashGuard crashGuard{FakeSwitchDesktop};
    CShownDesktop shown{watchdog, crashGuard, FakeSwitchDesktop};
};

TEST_F(ShownDesktopTest, AShownDesktopIsMarkedForTheWatchdogAndTheCrashGuard)
{
    ASSERT_TRUE(shown.Show(ISwitchPort::kPrivate));
    EXPECT_EQ(std::vector<HDESK>{kPrivate}, g_shown);
    EXPECT_NE(0, block.privateShown);
    EXPECT_TRUE(CrashGuardWouldSwitchBack());

    crashGuard.SetPrivateShown(true);
    ASSERT_TRUE(shown.Show(ISwitchPort::kOriginal));
    EXPECT_EQ(0, block.privateShown);
    EXPECT_FALSE(CrashGuardWouldSwitchBack());
}

TEST_F(ShownDesktopTest, ARefusedSwitchLeavesEveryMarkAsItWas)
{
    g_refuse = true;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(shown.Show(ISwitchPort::kPrivate));
    EXPECT_EQ(0, block.privateShown) << "the watchdog would switch back from a desktop never shown";
    EXPECT_FALSE(CrashGuardWouldSwitchBack());

    g_refuse = false;
    ASSERT_TRUE(shown.Show(ISwitchPort::kPrivate));
    g_refuse = true;
    EXPECT_FALSE(shown.Show(ISwitchPort::kOriginal));
    EXPECT_NE(0, block.privateShown) << "still on the private desktop";
    EXPECT_TRUE(CrashGuardWouldSwitchBack());
}

TEST_F(ShownDesktopTest, ASwitchSomeoneElseMadeMovesTheMarks)
{
    shown.Note(ISwitchPort::kPrivate);
    EXPECT_TRUE(g_shown.empty()) << "noted, not shown again";
    EXPECT_NE(0, block.privateShown);
    EXPECT_TRUE(CrashGuardWouldSwitchBack());
    shown.Note(ISwitchPort::kOriginal);
    EXPECT_EQ(0, block.privateShown);
}

TEST_F(ShownDesktopTest, WithTheWayBackGuardedACrashDoesNotOpenTheOriginalDesktop)
{
    ASSERT_TRUE(shown.Show(ISwitchPort::kPrivate));
    crashGuard.SetRestoreGuarded(true);
    EXPECT_FALSE(CrashGuardWouldSwitchBack());
    crashGuard.SetRestoreGuarded(false);
    EXPECT_TRUE(CrashGuardWouldSwitchBack());
}

// The restore prompt's thread that cannot reach the private desktop says so,
// so that the switcher refuses to go where no prompt could guard the way back.
TEST(PasswordThreadTest, AThreadThatCannotReachItsDesktopSaysSo)
{
    CSnapshot<CFixedText<16>> password;
    std::atomic<bool> attached{true};
    std::thread([&] {
        CPasswordThread thread(reinterpret_cast<HDESK>(static_cast<uintptr_t>(0x7ff0)), L"x",
                               password, &attached);
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(thread.Attach());
    }).join();
    EXPECT_FALSE(attached.load());

    HDESK own = GetThreadDesktop(GetCurrentThreadId());
    std::thread([&] {
        CPasswordThread thread(own, L"x", password, &attached);
        EXPECT_TRUE(thread.Attach());
    }).join();
    EXPECT_TRUE(attached.load());
}

// A COM apartment makes a hidden window on its thread; the switcher thread
// must own none, or it could never be moved or trusted not to block input.
class ActionThreadWindowsTest : public ::testing::Test {
protected:
    static int WindowsOf(DWORD threadId)
    {
        int count = 0;
        EnumThreadWindows(
            threadId, [](HWND, LPARAM count) -> BOOL { return ++*reinterpret_cast<int*>(count), TRUE; },
            reinterpret_cast<LPARAM>(&count));
        return count;
    }

    template <class Action>
    static int WindowsLeftBy(Action action)
    {
        int windows = -1;
        std::thread([&] {
            action();
            windows = WindowsOf(GetCurrentThreadId());
        }).join();
        return windows;
    }
};

TEST_F(ActionThreadWindowsTest, TheSwitchersActionsLeaveNoWindowOnItsThread)
{
    wchar_t windows[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
    const wchar_t key[] = L"Software\\Orvane\\QuillowTest\\ThreadWindows";
    EXPECT_EQ(0, WindowsLeftBy([&] {
        CWatchedActions actions(windows, key);
        actions.Mute();
        actions.ClearBrowserHistory();
        actions.ClearTypedUrls();
        actions.ClearRecentDocuments();
    }));
    // A window an action left behind, as an apartment's would be, is seen
    // (with the input method's window that comes with any).
    EXPECT_GT(WindowsLeftBy([] {
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                        nullptr);
    }), 0);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvane\\QuillowTest");
}

// The registry's mark lets a later start, or the uninstaller, take back a
// policy that a killed run left set.
TEST(TaskManagerPolicyMarkTest, APolicyLeftByAnEarlierRunIsTakenBack)
{
    const wchar_t key[] = L"Software\\Orvane\\QuillowTest\\PolicyMark";
    const wchar_t policyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    auto policy = [&] {
        DWORD value = 99, bytes = sizeof(value);
        RegGetValueW(HKEY_CURRENT_USER, policyKey, L"DisableTaskMgr", RRF_RT_REG_DWORD, nullptr,
                     &value, &bytes);
        return value;
    };
    auto mark = [&] {
        DWORD value = 0, bytes = sizeof(value);
        return RegGetValueW(HKEY_CURRENT_USER, key, L"TASKMGR_APPLIED",
                            RRF_RT_REG_DWORD, nullptr, &value, &bytes) == ERROR_SUCCESS &&
               value == 1;
    };
    {
        CWatchedActions killedRun(L"C:\\windows", key);
        killedRun.SetTaskManagerPolicy(1);
        EXPECT_EQ(1u, policy());
        EXPECT_TRUE(mark());
        // Killed here: nothing of this run takes the policy back.
    }
    CWatchdog::Instance().SetTaskManagerPolicySet(false);  // a new process knows nothing
    CWatchedActions nextRun(L"C:\\windows", key);
    EXPECT_TRUE(nextRun.TaskManagerPolicyLeftSet());
    nextRun.RepairTaskManagerPolicy();
    EXPECT_EQ(0u, policy());
    EXPECT_FALSE(mark());
    EXPECT_FALSE(nextRun.TaskManagerPolicyLeftSet());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvane\\QuillowTest");
}

}  // namespace
