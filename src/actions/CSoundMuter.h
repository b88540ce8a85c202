#pragma once

#include <windows.h>

#include "XPMuteControl.h"

// Mutes or unmutes the sound output by the road the Windows version offers:
// the mixer on XP, the default endpoint's volume from Vista on.
class CSoundMuter {
public:
    // value 1 mutes, 0 unmutes. Failures are silent: the sound stays as it was.
    static void Mute(DWORD value, DWORD osMajorVersion, XPMuteControl& xpControl);
};
