#include "actions/CPrivacyCleaner.h"

#include "base/CTextWriter.h"

#include <objbase.h>
#include <shlobj.h>
#include <urlhist.h>

#include <cwchar>

namespace {

const wchar_t kTypedUrlsKey[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kSystemPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// Written out here rather than taken from libuuid, whose MinGW build does
// not carry every one of them.
const CLSID kUrlHistoryClass = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kUrlHistoryStg2 = {
    0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

}  // namespace

void CPrivacyCleaner::ClearBrowserHistory()
{
    // A thread already in the multithreaded apartment answers
    // RPC_E_CHANGED_MODE; uninitialising then would take away the COM that
    // the thread's owner set up, so only our own successful call is undone.
    const HRESULT init = CoInitialize(nullptr);
    IUrlHistoryStg2* history = nullptr;
    if (SUCCEEDED(CoCreateInstance(kUrlHistoryClass, nullptr, CLSCTX_INPROC_SERVER, kUrlHistoryStg2,
                                   reinterpret_cast<void**>(&history))) &&
        history) {
        history->ClearHistory();
        history->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
}

void CPrivacyCleaner::ClearTypedUrls()
{
    if (!UseKey(kTypedUrlsKey))
        return;
    // The address bar numbers its entries without gaps, so the first missing
    // number is the end of the list.
    for (DWORD number = 1; number != 0; ++number) {
        wchar_t name[16];
        CTextWriter(name, 16).Text(L"url").Number(number);
        if (m_registry.DeleteValue(name) != ERROR_SUCCESS)
            return;
    }
}

// The shell's own clearing call: it drops the usage data that the recent
// items of the Start menu, of File Explorer and of every program's jump list
// are made from, and leaves the pinned items, which are not usage data. The
// jump-list files themselves hold those pins (Quick Access's among them), so
// they are never deleted here; and the per-program way, the destination
// lists, reaches only the lists whose application ids one already knows.
void CPrivacyCleaner::ClearRecentDocuments()
{
    if (m_addToRecentDocs)
        m_addToRecentDocs(SHARD_PATHW, nullptr);
}

void CPrivacyCleaner::SetTaskManagerPolicy(DWORD value)
{
    if (UseKey(kSystemPolicyKey))
        m_registry.WriteDword(L"DisableTaskMgr", value);
}

bool CPrivacyCleaner::UseKey(const wchar_t* path)
{
    m_registry.SetRoot(m_root);
    return m_registry.SetPath(path) == ERROR_SUCCESS;
}
