#include "actions/CSoundMuter.h"

#include <objbase.h>

#include <endpointvolume.h>

const CLSID CSoundMuter::kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID CSoundMuter::kDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID CSoundMuter::kEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

namespace {

bool MuteDevice(IMMDevice* device, DWORD value)
{
    IAudioEndpointVolume* volume = nullptr;
    if (FAILED(device->Activate(CSoundMuter::kEndpointVolume, CLSCTX_ALL, nullptr,
                                reinterpret_cast<void**>(&volume))) ||
        !volume)
        return false;
    const bool muted = SUCCEEDED(volume->SetMute(value ? TRUE : FALSE, nullptr));
    volume->Release();
    return muted;
}

void MuteEveryEndpoint(DWORD value)
{
    // Failure here (another apartment already chosen) means COM is not ours
    // to uninitialise.
    if (FAILED(CoInitialize(nullptr)))
        return;
    IMMDeviceEnumerator* enumerator = nullptr;
    if (SUCCEEDED(CoCreateInstance(CSoundMuter::kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                                   CSoundMuter::kDeviceEnumerator,
                                   reinterpret_cast<void**>(&enumerator))) &&
        enumerator) {
        CSoundMuter::MuteEveryOutput(enumerator, value);
        enumerator->Release();
    }
    // Balanced on every path, also when a later step failed.
    CoUninitialize();
}

}  // namespace

UINT CSoundMuter::MuteEveryOutput(IMMDeviceEnumerator* enumerator, DWORD value)
{
    if (!enumerator)
        return 0;
    IMMDeviceCollection* outputs = nullptr;
    if (FAILED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &outputs)) || !outputs)
        return 0;
    UINT count = 0;
    if (FAILED(outputs->GetCount(&count)))
        count = 0;
    UINT muted = 0;
    for (UINT i = 0; i < count && i < kMostEndpoints; ++i) {
        // An endpoint unplugged since the list was made is skipped.
        IMMDevice* device = nullptr;
        if (FAILED(outputs->Item(i, &device)) || !device)
            continue;
        muted += MuteDevice(device, value) ? 1 : 0;
        device->Release();
    }
    outputs->Release();
    return muted;
}

void CSoundMuter::Mute(DWORD value, DWORD osMajorVersion, XPMuteControl& xpControl)
{
    if (osMajorVersion == 5) {
        xpControl.Prepare(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
        xpControl.Set(value);
    } else if (osMajorVersion >= 6) {
        MuteEveryEndpoint(value);
    }
}
