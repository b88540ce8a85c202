#pragma once

#include <windows.h>
#include <shlobj.h>

#include "base/CRegistryPath.h"

// Erases the traces of recent work that the user asked to hide before the
// private desktop is shown, and switches the per-user policy that keeps the
// task manager away. Every failure is silent: a trace that cannot be erased
// must not stop the switch.
class CPrivacyCleaner {
public:
    // SHAddToRecentDocs' shape; tests put a recorder in its place.
    using RecentDocsCall = void(WINAPI*)(UINT flags, LPCVOID item);

    // The registry object is shared with the other actions of this thread, so
    // each operation sets the root and path it needs instead of trusting what
    // the previous user left there. Tests pass a scratch root.
    explicit CPrivacyCleaner(CRegistryPath& registry, HKEY root = HKEY_CURRENT_USER,
                             RecentDocsCall addToRecentDocs = ::SHAddToRecentDocs)
        : m_registry(registry), m_root(root), m_addToRecentDocs(addToRecentDocs)
    {
    }

    void ClearBrowserHistory();
    void ClearTypedUrls();
    // Recent items go, in the Start menu, in File Explorer and in every
    // program's jump list; what the user pinned stays.
    void ClearRecentDocuments();
    void SetTaskManagerPolicy(DWORD value);

private:
    bool UseKey(const wchar_t* path);

    CRegistryPath& m_registry;
    HKEY m_root;
    RecentDocsCall m_addToRecentDocs;
};
