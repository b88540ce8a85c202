#pragma once

#include <windows.h>

#include "../core/CMyAppModule.h"
#include "../settings/CRegistryPath.h"

// Decides whether what the maker's server announced is worth offering, and
// if so stores it in the update record (UPDATE_VERSION, UPDATE_URL,
// UPDATE_REVISION, UPDATE_SHOWED) for the prompt to pick up. Runs on the
// update-check thread and never talks to the user.
class CUpdateDecision {
public:
    // Room for the converted texts, terminator included. Both are larger
    // than what the prompt accepts, so an over-long text is stored (cut to
    // fit) but then never offered.
    static constexpr int kVersionChars = 22;
    static constexpr int kAddressChars = 266;

    explicit CUpdateDecision(const wchar_t* settingsKey = g_module.m_settingsKey,
                             DWORD ownRevision = static_cast<DWORD>(g_module.m_revision));
    CUpdateDecision(const CUpdateDecision&) = delete;
    CUpdateDecision& operator=(const CUpdateDecision&) = delete;

    // Returns true when the announcement was written to the record.
    bool Decide(const char* version, const char* address, DWORD revision, DWORD requiredMinimum);

    // The server may bar old installations from a version; and only a newer
    // revision than our own is worth a word.
    static bool IsDue(DWORD ownRevision, DWORD revision, DWORD requiredMinimum);

    // UTF-8 to UTF-16, cut to capacity - 1 characters; never leaves half a
    // surrogate pair at the end. out is always terminated.
    static void ConvertCut(const char* utf8, wchar_t* out, int capacity);

private:
    DWORD StoredRevision() const;
    void Store(const char* version, const char* address, DWORD revision) const;

    CRegistryPath m_registry;
    DWORD m_ownRevision;
};
