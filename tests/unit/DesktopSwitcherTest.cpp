#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CDesktopSwitcher.h"

namespace {

// Writes down every effect of a switch, in order.
class RecordingPort : public ISwitchPort {
public:
    std::vector<std::string> calls;

    void RequestPassword(Desktop shown) override
    {
        calls.push_back(shown == kOriginal ? "ask switch password" : "ask restore password");
    }
    void RunBeforeEntering() override { calls.push_back("before entering"); }
    void RemoveHook() override { calls.push_back("remove hook"); }
    void ShowDesktop(Desktop desktop) override
    {
        calls.push_back(desktop == kPrivate ? "show private" : "show original");
    }
    void InstallHook() override { calls.push_back("install hook"); }
    void RunAfterEntering() override { calls.push_back("after entering"); }
    void RunAfterLeaving() override { calls.push_back("after leaving"); }
};

const std::vector<std::string> kEnter{"before entering", "remove hook", "show private",
                                      "install hook", "after entering"};
const std::vector<std::string> kLeave{"remove hook", "show original", "install hook",
                                      "after leaving"};

class DesktopSwitcherTest : public ::testing::Test {
protected:
    std::vector<std::string> Request(LPARAM askPassword, bool switchPassword, bool restorePassword)
    {
        port.calls.clear();
        switcher.OnSwitchRequest(askPassword, switchPassword, restorePassword);
        return port.calls;
    }

    RecordingPort port;
    CDesktopSwitcher switcher{port};
};

TEST_F(DesktopSwitcherTest, WithoutPasswordsTwoRequestsGoThereAndBack)
{
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    EXPECT_EQ(kEnter, Request(1, false, false));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
    EXPECT_EQ(kLeave, Request(1, false, false));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
}

TEST_F(DesktopSwitcherTest, SwitchPasswordIsAskedForInsteadOfSwitching)
{
    EXPECT_EQ(std::vector<std::string>{"ask switch password"}, Request(1, true, false));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
}

TEST_F(DesktopSwitcherTest, ConfirmedRequestSwitchesWithoutAskingAgain)
{
    Request(1, true, false);
    EXPECT_EQ(kEnter, Request(0, true, false));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
}

TEST_F(DesktopSwitcherTest, SwitchPasswordDoesNotGuardTheWayBack)
{
    Request(0, true, false);
    EXPECT_EQ(kLeave, Request(1, true, false));
}

TEST_F(DesktopSwitcherTest, RestorePasswordGuardsOnlyTheWayBack)
{
    EXPECT_EQ(kEnter, Request(1, false, true));
    EXPECT_EQ(std::vector<std::string>{"ask restore password"}, Request(1, false, true));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
    EXPECT_EQ(kLeave, Request(0, false, true));
}

TEST_F(DesktopSwitcherTest, ConfirmedRequestNeverAsksForAPassword)
{
    EXPECT_EQ(kEnter, Request(0, true, true));
    EXPECT_EQ(kLeave, Request(0, true, true));
}

TEST_F(DesktopSwitcherTest, AnyNonZeroFlagAsksForThePassword)
{
    EXPECT_EQ(std::vector<std::string>{"ask switch password"}, Request(7, true, false));
    EXPECT_EQ(std::vector<std::string>{"ask switch password"}, Request(-1, true, false));
}

TEST_F(DesktopSwitcherTest, PasswordSetWhileOnPrivateGuardsTheNextWayBack)
{
    Request(1, false, false);
    EXPECT_EQ(std::vector<std::string>{"ask restore password"}, Request(1, false, true));
}

}  // namespace
