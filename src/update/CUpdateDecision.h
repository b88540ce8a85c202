#pragma once

#include <windows.h>

#include "app/CMyAppModule.h"
#include "base/CRegistryPath.h"

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

    // Returns true when the announcement was written to the record. One
    // without a version to show or without a plain web address is not: the
    // prompt would never offer it, yet its revision would bar genuine ones.
    bool Decide(const char* version, const char* address, DWORD revision, DWORD requiredMinimum);

    // The server may bar old installations from a version; and only a newer
    // revision than our own is worth a word.
    static bool IsDue(DWORD ownRevision, DWORD revision, DWORD requiredMinimum);

private:
    DWORD StoredRevision() const;
    void Store(const wchar_t* version, const wchar_t* address, DWORD revision) const;

    CRegistryPath m_registry;
    DWORD m_ownRevision;
};
