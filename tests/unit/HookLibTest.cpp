// HookLib.dll end to end inside one process: real low-level hooks, real
// injected input, real thread messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <HookLib.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr UINT kUninstall = WM_APP + 1;
constexpr UINT kBlock = WM_APP + 2;

// Stands in for the switcher thread: owns the hook and pumps its messages.
class HookOwnerThread {
public:
    explicit HookOwnerThread(HDESK privateDesktop = nullptr) : m_privateDesktop(privateDesktop)
    {
        m_thread = std::thread([this] { Run(); });
        WaitFor([this] { return m_threadId.load() != 0; });
    }
    ~HookOwnerThread()
    {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    void Uninstall()
    {
        PostThreadMessageW(m_threadId, kUninstall, 0, 0);
        WaitFor([this] { return m_uninstalled.load(); });
    }

    // The thread stops pumping for a while, as the switcher does in its actions.
    void Block(DWORD milliseconds) { PostThreadMessageW(m_threadId, kBlock, milliseconds, 0); }

    int Requests() const { return m_requests.load(); }
    LPARAM LastFlag() const { return m_lastFlag.load(); }
    WPARAM LastSource() const { return m_lastSource.load(); }
    DWORD Watching() const { return m_watching.load(); }

    template <class Condition>
    static bool WaitFor(Condition condition, int milliseconds = 5000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Sleep(10);
        }
        return true;
    }

private:
    void Run()
    {
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        const DWORD self = GetCurrentThreadId();
        m_watching = InstallInputHooks(self, GetThreadDesktop(self), m_privateDesktop);
        m_threadId = self;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_USER) {
                m_lastFlag = msg.lParam;
                m_lastSource = msg.wParam;
                ++m_requests;
            } else if (msg.message == kBlock) {
                Sleep(static_cast<DWORD>(msg.wParam));
            } else if (msg.message == kUninstall) {
                UnInstallInputHooks(self);
                m_uninstalled = true;
            }
        }
        UnInstallInputHooks(self);
    }

    HDESK m_privateDesktop;
    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    std::atomic<DWORD> m_watching{0};
    std::atomic<int> m_requests{0};
    std::atomic<LPARAM> m_lastFlag{-1};
    std::atomic<WPARAM> m_lastSource{99};
    std::atomic<bool> m_uninstalled{false};
};

void SendMouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

// A low-level mouse hook of the test's own, installed after HookLib's so that
// Windows calls it first: its CallNextHookEx returns only once HookLib's hook
// has answered. The time from SendInput to that return is how long the event
// waited for the hooks.
class ChainedHookTimer {
public:
    ChainedHookTimer()
    {
        s_seen = 0;
        m_thread = std::thread([this] { Run(); });
        HookOwnerThread::WaitFor([this] { return m_threadId.load() != 0; });
    }
    ~ChainedHookTimer()
    {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    // Milliseconds from SendInput to the chain's answer; -1 if it never came.
    static double TimeOneMove(LONG number)
    {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (number % 2) ? 1 : -1;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        input.mi.dwExtraInfo = kTag | static_cast<ULONG_PTR>(number);
        const auto sent = std::chrono::steady_clock::now();
        SendInput(1, &input, sizeof(input));
        if (!HookOwnerThread::WaitFor([&] { return s_seen.load() >= number; }, 5000))
            return -1;
        return std::chrono::duration<double, std::milli>(s_answeredAt.load() - sent).count();
    }

private:
    static constexpr ULONG_PTR kTag = 0x51570000;

    void Run()
    {
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, Proc, GetModuleHandleW(nullptr), 0);
        m_threadId = GetCurrentThreadId();
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        }
        UnhookWindowsHookEx(hook);
    }

    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
        if (code == HC_ACTION && (event->dwExtraInfo & 0xFFFF0000) == kTag) {
            s_answeredAt = std::chrono::steady_clock::now();
            s_seen = static_cast<LONG>(event->dwExtraInfo & 0xFFFF);
        }
        return result;
    }

    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    static std::atomic<LONG> s_seen;
    static std::atomic<std::chrono::steady_clock::time_point> s_answeredAt;
};

std::atomic<LONG> ChainedHookTimer::s_seen{0};
std::atomic<std::chrono::steady_clock::time_point> ChainedHookTimer::s_answeredAt{};

class HookLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMiddleButton(0);
        SetDoubleButton(0);
        SetKeyCode(0, 0, 0, 0);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(HookLibTest, MiddleClickPostsOneSwitchRequestAskingForThePassword)
{
    SetMiddleButton(1);
    HookOwnerThread owner;
    EXPECT_EQ(kWatchingOriginalDesktop, owner.Watching());
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() == 1; }));
    EXPECT_EQ(1, owner.LastFlag());
    EXPECT_EQ(kSwitchFromOriginalDesktop, owner.LastSource()) << "the desktop whose input fired it";
    Sleep(200);
    EXPECT_EQ(1, owner.Requests());
}

TEST_F(HookLibTest, BothButtonsTogetherPostASwitchRequest)
{
    SetDoubleButton(1);
    HookOwnerThread owner;
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() == 1; }));
}

TEST_F(HookLibTest, HotKeyWithItsModifierPostsASwitchRequest)
{
    SetKeyCode(VK_F9, 0, 1, 0);
    HookOwnerThread owner;
    SendKey(VK_CONTROL, true);
    SendKey(VK_F9, true);
    SendKey(VK_F9, false);
    SendKey(VK_CONTROL, false);
    EXPECT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() == 1; }));
}

TEST_F(HookLibTest, TriggerTurnedOffFromAnotherThreadTakesEffectAtOnce)
{
    SetMiddleButton(1);
    HookOwnerThread owner;
    std::thread([] { SetMiddleButton(0); }).join();
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    std::thread([] { SetMiddleButton(1); }).join();
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() >= 1; }));
    Sleep(200);
    EXPECT_EQ(1, owner.Requests());
}

TEST_F(HookLibTest, NoRequestAfterUnInstallInputHook)
{
    SetMiddleButton(1);
    HookOwnerThread owner;
    owner.Uninstall();
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    // Nothing can arrive without a hook; the wait only gives a wrong one time
    // to show itself.
    Sleep(300);
    EXPECT_EQ(0, owner.Requests());
}

// SetThreadDesktop refuses a handle that names no desktop: the hook thread
// for it stays where it is, and the answer says that desktop is not watched.
TEST_F(HookLibTest, ADesktopTheHookThreadCannotReachIsNotWatched)
{
    HookOwnerThread owner(reinterpret_cast<HDESK>(static_cast<uintptr_t>(0x7ff0)));
    EXPECT_EQ(kWatchingOriginalDesktop, owner.Watching());
}

TEST_F(HookLibTest, BothDesktopsAreWatchedAtOnceAndEachTriggerSaysWhere)
{
    HDESK second = CreateDesktopW(L"hooklibtest", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(nullptr, second);
    SetMiddleButton(1);
    {
        HookOwnerThread owner(second);
        EXPECT_EQ(kWatchingOriginalDesktop | kWatchingPrivateDesktop, owner.Watching());
        // Input made by a thread of the second desktop is that desktop's.
        std::thread([second] {
            ASSERT_TRUE(SetThreadDesktop(second));
            SendMouse(MOUSEEVENTF_MIDDLEDOWN);
            SendMouse(MOUSEEVENTF_MIDDLEUP);
        }).join();
        ASSERT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() == 1; }));
        EXPECT_EQ(kSwitchFromPrivateDesktop, owner.LastSource());
        SendMouse(MOUSEEVENTF_MIDDLEDOWN);
        SendMouse(MOUSEEVENTF_MIDDLEUP);
        ASSERT_TRUE(HookOwnerThread::WaitFor([&] { return owner.Requests() == 2; }));
        EXPECT_EQ(kSwitchFromOriginalDesktop, owner.LastSource());
    }
    CloseDesktop(second);
}

// The thread that installed the hook blocks as the switcher does in its
// actions; Windows removes a low-level hook that keeps input waiting, so the
// hooks must be answered all the same.
TEST_F(HookLibTest, HooksAreAnsweredWhileTheInstallingThreadBlocks)
{
    SetMiddleButton(1);
    HookOwnerThread owner;
    ChainedHookTimer timer;
    owner.Block(1500);
    Sleep(50);
    double worst = 0;
    for (LONG n = 1; n <= 20; ++n) {
        const double waited = ChainedHookTimer::TimeOneMove(n);
        ASSERT_GE(waited, 0) << "move " << n << " never reached the hooks";
        worst = waited > worst ? waited : worst;
        Sleep(20);
    }
    // The block is 1.5 s; a hook held by the blocked thread shows it in full.
    EXPECT_LT(worst, 100.0);
}

}  // namespace
