#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <thread>

#include "actions/CMonitorPower.h"
#include "actions/CSoundMuter.h"
#include "actions/XPMuteControl.h"

#include "ComApartmentProbe.h"

namespace {

// The test machine has no sound card; the mixer road must then leave
// nothing open and nothing marked as found.
TEST(XPMuteControlTest, WithoutAMixerPrepareLeavesItUninitialised)
{
    if (mixerGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has a mixer";
    XPMuteControl control;
    control.Prepare(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_FALSE(control.IsInitialised());
    EXPECT_FALSE(control.HasMixer());
}

TEST(XPMuteControlTest, FailedPrepareIsTriedAgainAndStillLeavesNothingOpen)
{
    if (mixerGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has a mixer";
    XPMuteControl control;
    control.Prepare(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    control.Prepare(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    control.Set(1);
    EXPECT_FALSE(control.IsInitialised());
    EXPECT_FALSE(control.HasMixer());
}

TEST(SoundMuterTest, VersionFiveTakesTheMixerRoad)
{
    if (mixerGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has a mixer";
    XPMuteControl control;
    HRESULT after = E_FAIL;
    std::thread([&] {
        CSoundMuter::Mute(1, 5, control);
        // The mixer road does not touch COM.
        after = ProbeApartment(COINIT_APARTMENTTHREADED);
    }).join();
    EXPECT_EQ(S_OK, after);
    EXPECT_FALSE(control.IsInitialised());
}

// Under Wine the endpoint volume answers E_NOTIMPL (or there is no endpoint
// at all), so what remains to see is that the call returns and leaves the
// thread's COM as it found it, whichever step stopped it.
TEST(SoundMuterTest, EndpointRoadLeavesAnUninitialisedThreadUninitialised)
{
    XPMuteControl control;
    HRESULT after = E_FAIL;
    std::thread([&] {
        CSoundMuter::Mute(1, 6, control);
        after = ProbeApartment(COINIT_APARTMENTTHREADED);
    }).join();
    EXPECT_EQ(S_OK, after);
    EXPECT_FALSE(control.IsInitialised());
}

TEST(SoundMuterTest, EndpointRoadKeepsTheCallersSingleThreadedApartment)
{
    XPMuteControl control;
    HRESULT after = E_FAIL;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        CSoundMuter::Mute(1, 10, control);
        after = ProbeApartment(COINIT_APARTMENTTHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_FALSE, after);
}

TEST(SoundMuterTest, EndpointRoadKeepsTheCallersMultithreadedApartment)
{
    XPMuteControl control;
    HRESULT after = E_FAIL;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        CSoundMuter::Mute(1, 6, control);
        after = ProbeApartment(COINIT_MULTITHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_FALSE, after);
}

// A top-level window that notes the power request it is sent; on a thread of
// its own it can also stop answering, as a hung program's window does.
class PowerWindow {
public:
    static constexpr wchar_t kClass[] = L"QuillowTestPowerWindow";

    PowerWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, kClass, L"power", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), this);
    }
    ~PowerWindow()
    {
        if (m_window)
            DestroyWindow(m_window);
    }
    PowerWindow(const PowerWindow&) = delete;
    PowerWindow& operator=(const PowerWindow&) = delete;

    HWND Handle() const { return m_window; }
    int Requests() const { return m_requests; }
    LPARAM LastState() const { return m_lastState; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<PowerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER) {
            ++self->m_requests;
            self->m_lastState = lParam;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    int m_requests = 0;
    LPARAM m_lastState = -1;
};

TEST(MonitorPowerTest, TopLevelWindowsAreAskedToPowerTheDisplayOff)
{
    PowerWindow window;
    ASSERT_NE(nullptr, window.Handle());
    CMonitorPower::TurnOff();
    EXPECT_EQ(1, window.Requests());
    EXPECT_EQ(2, window.LastState());
}

// A program that stops answering must not keep the user on the desktop they
// want to hide: the broadcast gives up on it.
TEST(MonitorPowerTest, WindowThatDoesNotAnswerDoesNotHoldTheBroadcast)
{
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, created);
    ASSERT_NE(nullptr, release);
    std::thread hung([&] {
        PowerWindow window;
        SetEvent(created);
        // Not pumping messages: the broadcast's request waits in vain.
        WaitForSingleObject(release, 10000);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(created, 5000));

    const ULONGLONG start = GetTickCount64();
    CMonitorPower::TurnOff();
    const ULONGLONG elapsed = GetTickCount64() - start;

    SetEvent(release);
    hung.join();
    CloseHandle(created);
    CloseHandle(release);
    EXPECT_LT(elapsed, 3000u);
}

}  // namespace
