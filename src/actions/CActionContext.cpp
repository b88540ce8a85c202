#include "actions/CActionContext.h"

DWORD CActionContext::OsMajorVersion()
{
    if (m_osMajorVersion == 0) {
        // GetVersionExW reports at most 6.2 to programs without a manifest
        // entry for later Windows; ours declares them, so this is the truth.
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (GetVersionExW(&info))
            m_osMajorVersion = info.dwMajorVersion;
#pragma GCC diagnostic pop
    }
    return m_osMajorVersion;
}
