#pragma once

#include <windows.h>

#include "actions/XPMuteControl.h"
#include "base/CPatternMatcher.h"
#include "base/CRegistryPath.h"

// What the actions of one thread share. Each thread that runs actions or the
// update query has a context of its own, so a registry object or a matcher is
// never used by two threads at once.
class CActionContext {
public:
    CRegistryPath& Registry() { return m_registry; }
    CPatternMatcher& Matcher() { return m_matcher; }
    XPMuteControl& MuteControl() { return m_muteControl; }

    // The Windows major version, read once; 0 while it could not be read.
    DWORD OsMajorVersion();

private:
    CRegistryPath m_registry;
    CPatternMatcher m_matcher;
    XPMuteControl m_muteControl;
    DWORD m_osMajorVersion = 0;
};
