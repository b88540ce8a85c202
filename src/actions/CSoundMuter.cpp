#include "CSoundMuter.h"

#include <objbase.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

namespace {

// Written out here rather than taken from libuuid, whose MinGW build does
// not carry every one of them.
const CLSID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

void MuteDevice(IMMDevice* device, DWORD value)
{
    IAudioEndpointVolume* volume = nullptr;
    if (FAILED(device->Activate(kEndpointVolume, CLSCTX_ALL, nullptr,
                                reinterpret_cast<void**>(&volume))) ||
        !volume)
        return;
    volume->SetMute(value ? TRUE : FALSE, nullptr);
    volume->Release();
}

void MuteDefaultDevice(IMMDeviceEnumerator* enumerator, DWORD value)
{
    IMMDevice* device = nullptr;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device)) || !device)
        return;
    MuteDevice(device, value);
    device->Release();
}

void MuteDefaultEndpoint(DWORD value)
{
    // Failure here (another apartment already chosen) means COM is not ours
    // to uninitialise.
    if (FAILED(CoInitialize(nullptr)))
        return;
    IMMDeviceEnumerator* enumerator = nullptr;
    if (SUCCEEDED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumerator,
                                   reinterpret_cast<void**>(&enumerator))) &&
        enumerator) {
        MuteDefaultDevice(enumerator, value);
        enumerator->Release();
    }
    // Balanced on every path, also when a later step failed.
    CoUninitialize();
}

}  // namespace

void CSoundMuter::Mute(DWORD value, DWORD osMajorVersion, XPMuteControl& xpControl)
{
    if (osMajorVersion == 5) {
        xpControl.Prepare(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
        xpControl.Set(value);
    } else if (osMajorVersion >= 6) {
        MuteDefaultEndpoint(value);
    }
}
