#include "settings/CUnmatchablePassword.h"

#include <cwchar>

namespace {
const wchar_t kText[] = L"\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF"
                        L"\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF\xFFFF";
static_assert(sizeof(kText) / sizeof(kText[0]) == 16, "fifteen characters and the terminator");

const wchar_t kSwitchNotice[] =
    L"The Switch to Virtual Desktop Password could not be read, so that switch stays locked. "
    L"Please set the password again in the settings window.";
const wchar_t kRestoreNotice[] =
    L"The Switch to Original Desktop Password could not be read, so that switch stays locked. "
    L"Please set the password again in the settings window before you switch.";
const wchar_t kBothNotice[] =
    L"The two switch passwords could not be read, so both switches stay locked. "
    L"Please set the passwords again in the settings window.";
}

const wchar_t* CUnmatchablePassword::Text() { return kText; }

bool CUnmatchablePassword::Is(const wchar_t* password)
{
    return password && wcscmp(password, kText) == 0;
}

const wchar_t* CUnmatchablePassword::NoticeFor(const CSettingsRecord& record)
{
    const bool switchLocked = record.PWD_VIRT_ENABLED && Is(record.PWD_VIRT.c_str());
    const bool restoreLocked = record.PWD_ORIG_ENABLED && Is(record.PWD_ORIG.c_str());
    if (switchLocked && restoreLocked)
        return kBothNotice;
    if (switchLocked)
        return kSwitchNotice;
    return restoreLocked ? kRestoreNotice : nullptr;
}
