#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "win/CMessageLoop.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

std::vector<std::string> g_events;

class NamedFilter : public CMessageFilter {
public:
    NamedFilter(const char* name, bool consumes) : m_name(name), m_consumes(consumes) {}
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == kProbe)
            g_events.push_back(m_name);
        return m_consumes && msg->message == kProbe;
    }

private:
    const char* m_name;
    bool m_consumes;
};

class CountingIdle : public CIdleHandler {
public:
    int calls = 0;
    BOOL OnIdle() override
    {
        ++calls;
        return FALSE;
    }
};

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override { g_events.clear(); }
};

TEST_F(MessageLoopTest, FiltersAreAskedNewestFirstAndTheFirstConsumerWins)
{
    CMessageLoop loop;
    NamedFilter older("older", true);
    NamedFilter newer("newer", false);
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);
    PostThreadMessageW(GetCurrentThreadId(), kProbe, 0, 0);
    PostQuitMessage(3);
    EXPECT_EQ(3, loop.Run());
    EXPECT_EQ((std::vector<std::string>{"newer", "older"}), g_events);
}

TEST_F(MessageLoopTest, RemovedFilterIsNoLongerAsked)
{
    CMessageLoop loop;
    NamedFilter filter("filter", false);
    loop.AddMessageFilter(&filter);
    loop.RemoveMessageFilter(&filter);
    PostThreadMessageW(GetCurrentThreadId(), kProbe, 0, 0);
    PostQuitMessage(0);
    loop.Run();
    EXPECT_TRUE(g_events.empty());
}

// Records what the loop hands over, and when the idle step runs.
class Recorder : public CMessageFilter, public CIdleHandler {
public:
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_MOUSEMOVE)
            g_events.push_back("move");
        if (msg->message == WM_TIMER) {
            KillTimer(nullptr, msg->wParam);
            g_events.push_back("timer");
        }
        return msg->message == WM_MOUSEMOVE || msg->message == WM_TIMER;
    }
    BOOL OnIdle() override
    {
        g_events.push_back("idle");
        if (++m_idleCalls == 1) {
            PostThreadMessageW(GetCurrentThreadId(), WM_MOUSEMOVE, 0, 0);
            SetTimer(nullptr, 0, 50, nullptr);
        } else {
            PostQuitMessage(0);
        }
        return FALSE;
    }

private:
    int m_idleCalls = 0;
};

TEST_F(MessageLoopTest, IdleRunsWhenTheQueueEmptiesAndAMouseMoveDoesNotRearmIt)
{
    CMessageLoop loop;
    Recorder recorder;
    loop.AddMessageFilter(&recorder);
    loop.AddIdleHandler(&recorder);
    loop.Run();
    EXPECT_EQ((std::vector<std::string>{"idle", "move", "timer", "idle"}), g_events);
}

TEST(MessageLoopIdleTest, MouseMovesPaintsAndCaretBlinksDoNotRearmIdle)
{
    MSG msg{};
    for (UINT message : {static_cast<UINT>(WM_MOUSEMOVE), static_cast<UINT>(WM_NCMOUSEMOVE),
                         static_cast<UINT>(WM_PAINT), 0x0118u}) {
        msg.message = message;
        EXPECT_FALSE(CMessageLoop::IsIdleMessage(msg)) << message;
    }
    msg.message = WM_KEYDOWN;
    EXPECT_TRUE(CMessageLoop::IsIdleMessage(msg));
}

}  // namespace
