#pragma once

#include <windows.h>

#include <mmdeviceapi.h>

#include "actions/XPMuteControl.h"

// Mutes or unmutes the sound output by the road the Windows version offers:
// the mixer on XP, every active output endpoint's volume from Vista on.
class CSoundMuter {
public:
    // Core Audio's identifiers, written out rather than taken from the MinGW
    // import libraries, which may resolve them to an import thunk.
    static const CLSID kDeviceEnumeratorClass;
    static const IID kDeviceEnumerator;
    static const IID kEndpointVolume;
    // No machine has more outputs than this; a collection that reports more
    // is not believed past it.
    static constexpr UINT kMostEndpoints = 256;

    // value 1 mutes, 0 unmutes. Failures are silent: the sound stays as it was.
    static void Mute(DWORD value, DWORD osMajorVersion, XPMuteControl& xpControl);
    // Every active render endpoint the enumerator lists, the headset set as
    // the communications device as much as the speakers: one that cannot be
    // muted does not keep the others from it. The number of endpoints muted.
    static UINT MuteEveryOutput(IMMDeviceEnumerator* enumerator, DWORD value);
};
