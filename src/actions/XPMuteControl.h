#pragma once

#include <windows.h>

#include <mmsystem.h>

// The mute switch of one destination line of the first sound mixer, the way
// Windows XP exposes it. Once found, the control is kept for the rest of the
// run so that later mutes do not ask the mixer again.
class XPMuteControl {
public:
    XPMuteControl() = default;
    XPMuteControl(const XPMuteControl&) = delete;
    XPMuteControl& operator=(const XPMuteControl&) = delete;
    virtual ~XPMuteControl();

    // Finds the mute control of the destination line of componentType
    // (MIXERLINE_COMPONENTTYPE_DST_*). A failure leaves no mixer open, so
    // the next call starts afresh.
    void Prepare(DWORD componentType);
    // 1 mutes, 0 unmutes; nothing happens before a successful Prepare.
    void Set(DWORD value);

    bool IsInitialised() const { return m_initialised != 0; }
    bool HasMixer() const { return m_mixer != nullptr; }

private:
    bool OpenFirstMixer();
    bool FindMuteControl(DWORD componentType);
    void CloseMixer();

    DWORD m_controlId = 0;
    DWORD m_initialised = 0;
    HMIXER m_mixer = nullptr;
    MIXERCAPSW m_caps{};
};
