#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/CExitRequestEvent.h"

namespace {

// A name of the test's own in the same session namespace, so that a
// Quillow running beside the tests is never asked to end.
std::wstring TestName()
{
    static int counter = 0;
    return L"Local\\Orvane.Quillow.Exit.test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// What the installer does: open the event by its name, set it, and reset it
// once it is done waiting.
TEST(ExitRequestEventTest, AnotherProcessReachesItByNameAndResetsIt)
{
    const std::wstring name = TestName();
    CExitRequestEvent event;
    ASSERT_TRUE(event.Create(name.c_str()));
    EXPECT_FALSE(event.IsSet());

    HANDLE installer = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
    ASSERT_NE(nullptr, installer);
    ASSERT_TRUE(SetEvent(installer));
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.IsSet()) << "looking does not take the request away";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event.Handle(), 0));
    ASSERT_TRUE(ResetEvent(installer));
    EXPECT_FALSE(event.IsSet());
    CloseHandle(installer);
}

TEST(ExitRequestEventTest, OneRequestReachesEveryQuillowOfTheSession)
{
    const std::wstring name = TestName();
    CExitRequestEvent first, second;
    ASSERT_TRUE(first.Create(name.c_str()));
    ASSERT_TRUE(second.Create(name.c_str()));
    HANDLE installer = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
    ASSERT_NE(nullptr, installer);
    ASSERT_TRUE(SetEvent(installer));
    HANDLE both[] = {first.Handle(), second.Handle()};
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 0));
    CloseHandle(installer);
}

// A request made while Quillow was still starting is not lost.
TEST(ExitRequestEventTest, ARequestMadeBeforeCreateIsSeen)
{
    const std::wstring name = TestName();
    CExitRequestEvent running;
    ASSERT_TRUE(running.Create(name.c_str()));
    SetEvent(running.Handle());
    CExitRequestEvent starting;
    ASSERT_TRUE(starting.Create(name.c_str()));
    EXPECT_TRUE(starting.IsSet());
}

TEST(ExitRequestEventTest, ANameTakenByAnotherKindOfObjectLeavesItWithout)
{
    const std::wstring name = TestName();
    HANDLE squatter = CreateMutexW(nullptr, FALSE, name.c_str());
    ASSERT_NE(nullptr, squatter);
    CExitRequestEvent event;
    EXPECT_FALSE(event.Create(name.c_str()));
    EXPECT_EQ(nullptr, event.Handle());
    EXPECT_FALSE(event.IsSet());
    CloseHandle(squatter);
}

}  // namespace
