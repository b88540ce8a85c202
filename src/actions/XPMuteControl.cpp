#include "actions/XPMuteControl.h"

XPMuteControl::~XPMuteControl()
{
    CloseMixer();
}

void XPMuteControl::Prepare(DWORD componentType)
{
    if (m_initialised)
        return;
    // A mixer left open by an earlier attempt would leak if only forgotten.
    CloseMixer();
    m_caps = MIXERCAPSW{};
    if (!OpenFirstMixer() || !FindMuteControl(componentType)) {
        CloseMixer();
        return;
    }
    m_initialised = 1;
}

void XPMuteControl::Set(DWORD value)
{
    // Without a found control there is no id to send: id 0 would be some
    // other control of the mixer, set to our value.
    if (!m_mixer || !m_initialised)
        return;
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = m_controlId;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(m_mixer), &details,
                           MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

bool XPMuteControl::OpenFirstMixer()
{
    if (mixerGetNumDevs() < 1)
        return false;
    if (mixerOpen(&m_mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) {
        m_mixer = nullptr;
        return false;
    }
    return mixerGetDevCapsW(0, &m_caps, sizeof(m_caps)) == MMSYSERR_NOERROR;
}

bool XPMuteControl::FindMuteControl(DWORD componentType)
{
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = componentType;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(m_mixer), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW query{};
    query.cbStruct = sizeof(query);
    query.dwLineID = line.dwLineID;
    query.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    query.cControls = 1;
    query.cbmxctrl = sizeof(control);
    query.pamxctrl = &control;
    if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(m_mixer), &query,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    m_controlId = control.dwControlID;
    return true;
}

void XPMuteControl::CloseMixer()
{
    if (m_mixer)
        mixerClose(m_mixer);
    m_mixer = nullptr;
}
