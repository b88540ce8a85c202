#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/CActionRunner.h"

namespace {

class RecordingActions : public IActions {
public:
    std::vector<std::wstring> calls;

    void Mute() override { calls.push_back(L"mute"); }
    void MonitorOff() override { calls.push_back(L"monitor off"); }
    void ClearBrowserHistory() override { calls.push_back(L"history"); }
    void ClearTypedUrls() override { calls.push_back(L"typed urls"); }
    void ClearRecentDocuments() override { calls.push_back(L"recent docs"); }
    void SetTaskManagerPolicy(DWORD value) override
    {
        calls.push_back(L"task manager " + std::to_wstring(value));
    }
    void CloseWindowsWithTitle(const wchar_t* text) override
    {
        calls.push_back(std::wstring(L"close ") + text);
    }
    void OpenFile(const wchar_t* path, const wchar_t* desktop) override
    {
        calls.push_back(std::wstring(L"open ") + path + L" on " + desktop);
    }
    void OpenWebSite(const wchar_t* address, const wchar_t* desktop) override
    {
        calls.push_back(std::wstring(L"web ") + address + L" on " + desktop);
    }
    void TerminateProcesses(const std::vector<std::wstring>& names, HDESK desktop) override
    {
        std::wstring joined = L"terminate";
        for (const auto& name : names)
            joined += L" " + name;
        calls.push_back(joined + (desktop == kOriginal ? L" on original" : L" elsewhere"));
    }

    // Stands for the switcher's handle of the original desktop; never used
    // as a handle.
    static inline const HDESK kOriginal = reinterpret_cast<HDESK>(static_cast<INT_PTR>(0x5A0));
};

class ActionRunnerTest : public ::testing::Test {
protected:
    void TurnEverythingOn()
    {
        live.m_muteOn = live.m_monitorOffOn = live.m_browserHistoryOn = 1;
        live.m_typedUrlsOn = live.m_recentDocsOn = live.m_taskManagerOffOn = 1;
        live.m_windowTitle.Set(CFixedText<261>(L"Budget"));
        live.m_fileToOpen.Set(CFixedText<261>(L"C:\\notes.txt"));
        live.m_webSiteToOpen.Set(CFixedText<261>(L"www.example.org"));
        live.m_terminateProcessesOn = 1;
        live.m_processNames.Set({L"a.exe", L"b.exe"});
    }

    CMyAppModule live;
    RecordingActions actions;
    CActionRunner runner{live, actions};
};

TEST_F(ActionRunnerTest, EverythingOffRunsNothingInEitherDirection)
{
    runner.BeforeEntering();
    runner.AfterEntering(L"qwdesk", RecordingActions::kOriginal);
    runner.AfterLeaving();
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ActionRunnerTest, EverythingOnRunsInItsOrderAroundTheSwitch)
{
    TurnEverythingOn();
    runner.BeforeEntering();
    EXPECT_EQ((std::vector<std::wstring>{L"mute", L"monitor off", L"history", L"typed urls",
                                         L"recent docs", L"task manager 1", L"close Budget"}),
              actions.calls);
    actions.calls.clear();
    runner.AfterEntering(L"qwdesk", RecordingActions::kOriginal);
    EXPECT_EQ((std::vector<std::wstring>{L"open C:\\notes.txt on qwdesk",
                                         L"web www.example.org on qwdesk",
                                         L"terminate a.exe b.exe on original"}),
              actions.calls);
    actions.calls.clear();
    runner.AfterLeaving();
    EXPECT_EQ(std::vector<std::wstring>{L"task manager 0"}, actions.calls);
}

TEST_F(ActionRunnerTest, TaskManagerTurnedOffWhileAwayIsLeftAloneOnTheWayBack)
{
    live.m_taskManagerOffOn = 1;
    runner.BeforeEntering();
    live.m_taskManagerOffOn = 0;
    runner.AfterLeaving();
    EXPECT_EQ(std::vector<std::wstring>{L"task manager 1"}, actions.calls);
}

TEST_F(ActionRunnerTest, ProcessesOnWithAnEmptyListEndNothing)
{
    live.m_terminateProcessesOn = 1;
    runner.AfterEntering(L"qwdesk", RecordingActions::kOriginal);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ActionRunnerTest, ProcessListIsReadWhenTheSwitchHappens)
{
    live.m_terminateProcessesOn = 1;
    live.m_processNames.Set({L"old.exe"});
    live.m_processNames.Set({L"new.exe"});
    runner.AfterEntering(L"qwdesk", RecordingActions::kOriginal);
    EXPECT_EQ(std::vector<std::wstring>{L"terminate new.exe on original"}, actions.calls);
}

}  // namespace
