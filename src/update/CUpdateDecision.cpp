#include "update/CUpdateDecision.h"

#include "app/CSettingsTable.h"
#include "update/CUpdateReply.h"
#include "update/CWebAddress.h"

CUpdateDecision::CUpdateDecision(const wchar_t* settingsKey, DWORD ownRevision)
    : m_ownRevision(ownRevision)
{
    m_registry.SetRoot(HKEY_CURRENT_USER);
    m_registry.SetPath(settingsKey);
}

bool CUpdateDecision::IsDue(DWORD ownRevision, DWORD revision, DWORD requiredMinimum)
{
    return requiredMinimum <= ownRevision && ownRevision < revision;
}

bool CUpdateDecision::Decide(const char* version, const char* address, DWORD revision,
                             DWORD requiredMinimum)
{
    if (!IsDue(m_ownRevision, revision, requiredMinimum))
        return false;
    // Storing the same revision again would reset UPDATE_SHOWED and nag the
    // user every three hours about a version already declined.
    if (revision <= StoredRevision())
        return false;
    wchar_t wideVersion[kVersionChars];
    wchar_t wideAddress[kAddressChars];
    CUpdateReply::ConvertCut(version, wideVersion, kVersionChars);
    CUpdateReply::ConvertCut(address, wideAddress, kAddressChars);
    if (wideVersion[0] == L'\0' || !CWebAddress::IsPlain(wideAddress))
        return false;
    Store(wideVersion, wideAddress, revision);
    return true;
}

DWORD CUpdateDecision::StoredRevision() const
{
    DWORD stored = 0;
    if (m_registry.ReadDword(CSettingsTable::Name(StoredValue::UPDATE_REVISION), &stored) !=
        ERROR_SUCCESS)
        return 0;
    // A record pinned by an earlier, less careful reading of a hostile reply
    // would otherwise keep every genuine update out for good.
    if (stored >= CUpdateReply::kRevisionLimit)
        return 0;
    return stored;
}

void CUpdateDecision::Store(const wchar_t* version, const wchar_t* address, DWORD revision) const
{
    // UPDATE_SHOWED goes last: a prompt reading meanwhile sees the new
    // announcement only once it is complete.
    m_registry.WriteString(CSettingsTable::Name(StoredValue::UPDATE_VERSION), version);
    m_registry.WriteString(CSettingsTable::Name(StoredValue::UPDATE_URL), address);
    m_registry.WriteDword(CSettingsTable::Name(StoredValue::UPDATE_REVISION), revision);
    m_registry.WriteDword(CSettingsTable::Name(StoredValue::UPDATE_SHOWED), 0);
}
