#pragma once

#include <windows.h>

#include "../settings/CRegistryPath.h"

// Erases the traces of recent work that the user asked to hide before the
// private desktop is shown, and switches the per-user policy that keeps the
// task manager away. Every failure is silent: a trace that cannot be erased
// must not stop the switch.
class CPrivacyCleaner {
public:
    static constexpr DWORD kPathChars = 262;

    // The registry object is shared with the other actions of this thread, so
    // each operation sets the root and path it needs instead of trusting what
    // the previous user left there. Tests pass a scratch root.
    explicit CPrivacyCleaner(CRegistryPath& registry, HKEY root = HKEY_CURRENT_USER)
        : m_registry(registry), m_root(root)
    {
    }

    void ClearBrowserHistory();
    void ClearTypedUrls();
    void ClearRecentDocuments(DWORD osMajorVersion);
    void SetTaskManagerPolicy(DWORD value);

private:
    bool UseKey(const wchar_t* path);
    static void ClearJumpListFolder();
    static bool ReadAppData(wchar_t* buffer);
    static void DeleteEntry(const wchar_t* folder, const WIN32_FIND_DATAW& entry);

    CRegistryPath& m_registry;
    HKEY m_root;
};
