#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

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

// --- every output, with fakes of Core Audio ---------------------------------
//
// Wine's endpoints answer E_NOTIMPL for their volume, so what the mute does
// with several outputs is seen with fakes: a collection of endpoints, each
// with a volume that notes what it was told.

template <class Interface>
class CFakeUnknown : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The test's own reference; anything above it after a call is a leak.
    ULONG references = 1;
};

class CFakeVolume : public CFakeUnknown<IAudioEndpointVolume> {
public:
    HRESULT muteResult = S_OK;
    std::vector<BOOL> mutes;

    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID) override
    {
        mutes.push_back(mute);
        return muteResult;
    }
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT*, FLOAT*, FLOAT*) override { return E_NOTIMPL; }
};

class CFakeDevice : public CFakeUnknown<IMMDevice> {
public:
    CFakeVolume volume;
    bool canActivate = true;
    bool askedForTheVolume = false;

    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override
    {
        *out = nullptr;
        askedForTheVolume = IsEqualIID(iid, CSoundMuter::kEndpointVolume);
        if (!canActivate || !askedForTheVolume)
            return E_NOINTERFACE;
        volume.AddRef();
        *out = &volume;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }
};

class CFakeOutputs : public CFakeUnknown<IMMDeviceCollection> {
public:
    std::vector<std::unique_ptr<CFakeDevice>> devices;
    UINT reportedCount = 0;  // what GetCount answers
    UINT itemCalls = 0;

    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override
    {
        *count = reportedCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** device) override
    {
        ++itemCalls;
        *device = nullptr;
        if (index >= devices.size())
            return E_INVALIDARG;
        devices[index]->AddRef();
        *device = devices[index].get();
        return S_OK;
    }
};

class CFakeEnumerator : public CFakeUnknown<IMMDeviceEnumerator> {
public:
    CFakeOutputs outputs;
    HRESULT enumerateResult = S_OK;
    EDataFlow askedFlow = eAll;
    DWORD askedStates = 0;
    bool askedForTheDefault = false;

    explicit CFakeEnumerator(size_t deviceCount)
    {
        for (size_t i = 0; i < deviceCount; ++i)
            outputs.devices.push_back(std::make_unique<CFakeDevice>());
        outputs.reportedCount = static_cast<UINT>(deviceCount);
    }

    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD states,
                                                 IMMDeviceCollection** out) override
    {
        askedFlow = flow;
        askedStates = states;
        *out = nullptr;
        if (FAILED(enumerateResult))
            return enumerateResult;
        outputs.AddRef();
        *out = &outputs;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow, ERole, IMMDevice**) override
    {
        askedForTheDefault = true;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient*) override { return E_NOTIMPL; }

    // Every reference the mute took has been given back.
    bool AllReleased() const
    {
        bool released = references == 1 && outputs.references == 1;
        for (const auto& device : outputs.devices)
            released = released && device->references == 1 && device->volume.references == 1;
        return released;
    }
};

TEST(MuteEveryOutputTest, EveryActiveOutputIsMutedNotOnlyTheDefaultOne)
{
    // Speakers, a headset set as the communications device, a monitor's.
    CFakeEnumerator enumerator(3);
    EXPECT_EQ(3u, CSoundMuter::MuteEveryOutput(&enumerator, 1));
    EXPECT_EQ(eRender, enumerator.askedFlow);
    EXPECT_EQ(static_cast<DWORD>(DEVICE_STATE_ACTIVE), enumerator.askedStates);
    for (const auto& device : enumerator.outputs.devices)
        EXPECT_EQ(std::vector<BOOL>{TRUE}, device->volume.mutes);
    EXPECT_TRUE(enumerator.AllReleased());
}

TEST(MuteEveryOutputTest, OutputThatCannotBeMutedDoesNotKeepTheOthersFromIt)
{
    CFakeEnumerator enumerator(3);
    enumerator.outputs.devices[0]->canActivate = false;
    enumerator.outputs.devices[1]->volume.muteResult = E_NOTIMPL;  // as under Wine
    EXPECT_EQ(1u, CSoundMuter::MuteEveryOutput(&enumerator, 1));
    EXPECT_TRUE(enumerator.outputs.devices[0]->volume.mutes.empty());
    EXPECT_EQ(std::vector<BOOL>{TRUE}, enumerator.outputs.devices[2]->volume.mutes);
    EXPECT_TRUE(enumerator.AllReleased());
}

TEST(MuteEveryOutputTest, CountBeyondTheRealOutputsIsNotBelievedPastTheLimit)
{
    CFakeEnumerator enumerator(2);
    enumerator.outputs.reportedCount = 0xFFFFFFFF;
    EXPECT_EQ(2u, CSoundMuter::MuteEveryOutput(&enumerator, 1));
    EXPECT_LE(enumerator.outputs.itemCalls, CSoundMuter::kMostEndpoints);
    EXPECT_TRUE(enumerator.AllReleased());
}

TEST(MuteEveryOutputTest, NoListOfOutputsMutesNothing)
{
    CFakeEnumerator enumerator(2);
    enumerator.enumerateResult = E_OUTOFMEMORY;
    EXPECT_EQ(0u, CSoundMuter::MuteEveryOutput(&enumerator, 1));
    EXPECT_EQ(0u, CSoundMuter::MuteEveryOutput(nullptr, 1));
    EXPECT_TRUE(enumerator.outputs.devices[0]->volume.mutes.empty());
    EXPECT_TRUE(enumerator.AllReleased());
}

TEST(MuteEveryOutputTest, ValueZeroUnmutes)
{
    CFakeEnumerator enumerator(1);
    CSoundMuter::MuteEveryOutput(&enumerator, 0);
    EXPECT_EQ(std::vector<BOOL>{FALSE}, enumerator.outputs.devices[0]->volume.mutes);
}

// Our own constants, not the import library's: the values Windows publishes.
std::wstring Text(const GUID& guid)
{
    wchar_t text[40] = L"";
    return StringFromGUID2(guid, text, 40) > 0 ? text : L"";
}

TEST(MuteEveryOutputTest, CoreAudioIdentifiersAreThePublishedOnes)
{
    EXPECT_EQ(L"{BCDE0395-E52F-467C-8E3D-C4579291692E}", Text(CSoundMuter::kDeviceEnumeratorClass));
    EXPECT_EQ(L"{A95664D2-9614-4F35-A746-DE8DB63617E6}", Text(CSoundMuter::kDeviceEnumerator));
    EXPECT_EQ(L"{5CDF2C82-841E-4546-9722-0CF74078229A}", Text(CSoundMuter::kEndpointVolume));
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
