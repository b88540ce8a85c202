#include "CUpdateDecision.h"

#include <string>

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
    Store(version, address, revision);
    return true;
}

DWORD CUpdateDecision::StoredRevision() const
{
    DWORD stored = 0;
    if (m_registry.ReadDword(L"UPDATE_REVISION", &stored) != ERROR_SUCCESS)
        return 0;
    return stored;
}

void CUpdateDecision::Store(const char* version, const char* address, DWORD revision) const
{
    wchar_t wideVersion[kVersionChars];
    wchar_t wideAddress[kAddressChars];
    ConvertCut(version, wideVersion, kVersionChars);
    ConvertCut(address, wideAddress, kAddressChars);
    // UPDATE_SHOWED goes last: a prompt reading meanwhile sees the new
    // announcement only once it is complete.
    m_registry.WriteString(L"UPDATE_VERSION", wideVersion);
    m_registry.WriteString(L"UPDATE_URL", wideAddress);
    m_registry.WriteDword(L"UPDATE_REVISION", revision);
    m_registry.WriteDword(L"UPDATE_SHOWED", 0);
}

void CUpdateDecision::ConvertCut(const char* utf8, wchar_t* out, int capacity)
{
    if (!out || capacity <= 0)
        return;
    out[0] = L'\0';
    if (!utf8 || !*utf8)
        return;
    // MultiByteToWideChar refuses a text that does not fit instead of
    // cutting it, so convert whole first and cut afterwards.
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (needed <= 1)
        return;
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), needed);
    int length = needed - 1;
    if (length > capacity - 1) {
        length = capacity - 1;
        if (length > 0 && IS_HIGH_SURROGATE(wide[static_cast<size_t>(length) - 1]))
            --length;
    }
    wmemcpy(out, wide.data(), static_cast<size_t>(length));
    out[length] = L'\0';
}
