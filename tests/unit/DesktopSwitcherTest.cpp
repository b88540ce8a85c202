#include <gtest/gtest.h>

#include <HookLib.h>

#include <string>
#include <vector>

#include "threads/CDesktopSwitcher.h"

namespace {

constexpr WPARAM kFromOriginal = kSwitchFromOriginalDesktop;
constexpr WPARAM kFromPrivate = kSwitchFromPrivateDesktop;
constexpr WPARAM kFromNowhere = kSwitchFromUnknownDesktop;
constexpr LPARAM kAsk = kSwitchAskPassword;

// Writes down every effect of a switch, in order, and plays the system's
// part: it can refuse a desktop, lack a desktop's hooks or the restore prompt.
class RecordingPort : public ISwitchPort {
public:
    std::vector<std::string> calls;
    bool refuseShow = false;
    bool watchingPrivate = true;
    bool restorePromptReady = true;
    bool restoreUnmatchable = false;
    LPARAM nextToken = 0x5EC2E7;
    LPARAM lastToken = 0;

    LPARAM NewToken() override { return nextToken++; }
    void RequestPassword(Desktop shown, LPARAM token) override
    {
        lastToken = token;
        calls.push_back(shown == kOriginal ? "ask switch password" : "ask restore password");
    }
    bool Watching(Desktop desktop) override { return desktop == kOriginal || watchingPrivate; }
    bool RestorePromptReady() override { return restorePromptReady; }
    bool RestorePasswordUnmatchable() override { return restoreUnmatchable; }
    void TellRefusal(Refusal why) override
    {
        calls.push_back(why == kNoWayBack         ? "tell: no way back"
                        : why == kNoRestorePrompt ? "tell: no restore prompt"
                                                  : "tell: restore password unreadable");
    }
    void RunBeforeEntering() override { calls.push_back("before entering"); }
    void UndoBeforeEntering() override { calls.push_back("undo before entering"); }
    bool ShowDesktop(Desktop desktop) override
    {
        calls.push_back(desktop == kPrivate ? "show private" : "show original");
        return !refuseShow;
    }
    void NoteShown(Desktop desktop) override
    {
        calls.push_back(desktop == kPrivate ? "note private shown" : "note original shown");
    }
    void RunAfterEntering() override { calls.push_back("after entering"); }
    void RunAfterLeaving() override { calls.push_back("after leaving"); }
};

using Calls = std::vector<std::string>;
const Calls kEnter{"before entering", "show private", "after entering"};
const Calls kLeave{"show original", "after leaving"};

class DesktopSwitcherTest : public ::testing::Test {
protected:
    Calls Request(WPARAM from, LPARAM flag, bool switchPassword = false,
                  bool restorePassword = false)
    {
        port.calls.clear();
        switcher.OnSwitchRequest(from, flag, switchPassword, restorePassword);
        return port.calls;
    }
    // The prompt's answer: the token of the request it was opened for.
    Calls Answer(bool switchPassword = false, bool restorePassword = false)
    {
        return Request(kFromNowhere, port.lastToken, switchPassword, restorePassword);
    }

    RecordingPort port;
    CDesktopSwitcher switcher{port};
};

TEST_F(DesktopSwitcherTest, WithoutPasswordsTriggersGoThereAndBack)
{
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    EXPECT_EQ(kEnter, Request(kFromOriginal, kAsk));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
    EXPECT_EQ(kLeave, Request(kFromPrivate, kAsk));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
}

TEST_F(DesktopSwitcherTest, ARequestNamingNoDesktopGoesByWhatIsKnown)
{
    EXPECT_EQ(kEnter, Request(kFromNowhere, kAsk));
    EXPECT_EQ(kLeave, Request(kFromNowhere, kAsk));
}

TEST_F(DesktopSwitcherTest, EachDirectionIsGuardedByItsOwnPassword)
{
    EXPECT_EQ(Calls{"ask switch password"}, Request(kFromOriginal, kAsk, true, false));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    EXPECT_EQ(kEnter, Answer(true, false));
    // The switch password does not guard the way back.
    EXPECT_EQ(kLeave, Request(kFromPrivate, kAsk, true, false));

    EXPECT_EQ(kEnter, Request(kFromOriginal, kAsk, false, true));
    EXPECT_EQ(Calls{"ask restore password"}, Request(kFromPrivate, kAsk, false, true));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
    EXPECT_EQ(kLeave, Answer(false, true));
}

TEST_F(DesktopSwitcherTest, OnlyTheTokenOfTheOpenRequestSkipsThePassword)
{
    Request(kFromOriginal, kAsk, true, false);
    const LPARAM token = port.lastToken;
    // "Password accepted" as anyone may post it, or a guess: both ask again.
    for (LPARAM forged : {LPARAM(0), LPARAM(1), token + 1, LPARAM(-1)})
        EXPECT_EQ(Calls{"ask switch password"}, Request(kFromNowhere, forged, true, false))
            << forged;
    EXPECT_EQ(token, port.lastToken) << "a prompt still open keeps its token";
    EXPECT_EQ(kEnter, Request(kFromNowhere, token, true, false));
    // Once used, the token is spent: it cannot bring the user back later.
    EXPECT_EQ(Calls{"ask restore password"}, Request(kFromNowhere, token, true, true));
}

TEST_F(DesktopSwitcherTest, AnOldPromptsAnswerDoesNotSwitchAfterTheUserMovedOn)
{
    Request(kFromOriginal, kAsk, true, false);
    const LPARAM staleToken = port.lastToken;
    // Cancelled, then switched by a password-less way (the password was
    // turned off meanwhile).
    Request(kFromOriginal, kAsk, false, false);
    ASSERT_EQ(ISwitchPort::kPrivate, switcher.Shown());
    EXPECT_EQ(Calls{"ask restore password"}, Request(kFromNowhere, staleToken, false, true));
}

TEST_F(DesktopSwitcherTest, ATriggerOnTheOtherDesktopMendsAWrongBelief)
{
    // Someone else showed the private desktop: its trigger brings the user
    // back, whatever we thought was shown.
    EXPECT_EQ((Calls{"note private shown", "show original", "after leaving"}),
              Request(kFromPrivate, kAsk));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    // And someone switched back behind us: the next trigger enters again.
    Request(kFromOriginal, kAsk);
    EXPECT_EQ((Calls{"note original shown", "before entering", "show private", "after entering"}),
              Request(kFromOriginal, kAsk));
}

TEST_F(DesktopSwitcherTest, InputSeenOnADesktopMakesItTheShownOne)
{
    switcher.OnInputSeen(ISwitchPort::kPrivate);
    EXPECT_EQ(Calls{"note private shown"}, port.calls);
    port.calls.clear();
    switcher.OnInputSeen(ISwitchPort::kPrivate);
    EXPECT_TRUE(port.calls.empty()) << "what is known already changes nothing";
    EXPECT_EQ(kLeave, Request(kFromNowhere, kAsk));
}

TEST_F(DesktopSwitcherTest, ARefusedSwitchLeavesEverythingAsItWas)
{
    port.refuseShow = true;
    EXPECT_EQ((Calls{"before entering", "show private", "undo before entering"}),
              Request(kFromOriginal, kAsk));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    port.refuseShow = false;
    // The next trigger, once the secure desktop is gone, simply works.
    EXPECT_EQ(kEnter, Request(kFromOriginal, kAsk));

    port.refuseShow = true;
    EXPECT_EQ(Calls{"show original"}, Request(kFromPrivate, kAsk));
    EXPECT_EQ(ISwitchPort::kPrivate, switcher.Shown());
}

TEST_F(DesktopSwitcherTest, ARefusedSwitchKeepsTheOpenPromptsToken)
{
    Request(kFromOriginal, kAsk, true, false);
    port.refuseShow = true;
    Answer(true, false);
    port.refuseShow = false;
    // The user tries again: the same prompt's answer still counts.
    Request(kFromOriginal, kAsk, true, false);
    EXPECT_EQ(kEnter, Answer(true, false));
}

TEST_F(DesktopSwitcherTest, NoPrivateDesktopIsEnteredThatCouldNotBeLeft)
{
    port.watchingPrivate = false;
    EXPECT_EQ(Calls{"tell: no way back"}, Request(kFromOriginal, kAsk));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    EXPECT_TRUE(Request(kFromOriginal, kAsk).empty()) << "told once, not at every trigger";

    port.watchingPrivate = true;
    port.restorePromptReady = false;
    EXPECT_TRUE(Request(kFromOriginal, kAsk, false, true).empty());
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    // Without a restore password no prompt is needed there.
    EXPECT_EQ(kEnter, Request(kFromOriginal, kAsk, false, false));
}

TEST_F(DesktopSwitcherTest, AMissingRestorePromptIsToldWhenItIsTheFirstReason)
{
    port.restorePromptReady = false;
    EXPECT_EQ(Calls{"tell: no restore prompt"}, Request(kFromOriginal, kAsk, false, true));
}

// A restore password that was stored but could not be read guards the way
// back with a password no answer matches: going there would strand the user.
TEST_F(DesktopSwitcherTest, APrivateDesktopGuardedByAnUnreadablePasswordIsNotEntered)
{
    port.restoreUnmatchable = true;
    EXPECT_EQ(Calls{"tell: restore password unreadable"}, Request(kFromOriginal, kAsk, false, true));
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    // Coming back from a private desktop shown by someone else still asks.
    EXPECT_EQ((Calls{"note private shown", "ask restore password"}),
              Request(kFromPrivate, kAsk, false, true));
}

TEST_F(DesktopSwitcherTest, ReturningToTheOriginalDesktopAsksNothing)
{
    Request(kFromOriginal, kAsk, true, true);
    Answer(true, true);
    port.calls.clear();
    switcher.ReturnToOriginal();
    EXPECT_EQ(kLeave, port.calls);
    EXPECT_EQ(ISwitchPort::kOriginal, switcher.Shown());
    port.calls.clear();
    switcher.ReturnToOriginal();
    EXPECT_TRUE(port.calls.empty()) << "already there";
}

TEST_F(DesktopSwitcherTest, PasswordSetWhileOnPrivateGuardsTheNextWayBack)
{
    Request(kFromOriginal, kAsk);
    EXPECT_EQ(Calls{"ask restore password"}, Request(kFromPrivate, kAsk, false, true));
}

}  // namespace
