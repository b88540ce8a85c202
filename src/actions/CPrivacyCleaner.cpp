#include "CPrivacyCleaner.h"
#include "../core/CTextWriter.h"

#include <objbase.h>
#include <shlobj.h>
#include <urlhist.h>

#include <cwchar>

namespace {

const wchar_t kTypedUrlsKey[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kSystemPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const wchar_t kJumpListFolder[] = L"Microsoft\\Windows\\Recent\\AutomaticDestinations";

// Written out here rather than taken from libuuid, whose MinGW build does
// not carry every one of them.
const CLSID kUrlHistoryClass = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kUrlHistoryStg2 = {
    0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

// A relative or empty AppData would aim the deletion at whatever folder the
// process happens to stand in; only a drive or network path is trusted.
bool IsAbsolutePath(const wchar_t* path)
{
    const bool drive = iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    const bool network = path[0] == L'\\' && path[1] == L'\\';
    return drive || network;
}

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

void CPrivacyCleaner::ClearRecentDocuments(DWORD osMajorVersion)
{
    SHAddToRecentDocs(SHARD_PATHW, nullptr);
    // Jump lists keep their own copy of recent documents from Windows 7 on;
    // before that the shell's list was all there was.
    if (osMajorVersion <= 5)
        return;
    ClearJumpListFolder();
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

void CPrivacyCleaner::ClearJumpListFolder()
{
    wchar_t appData[kPathChars];
    if (!ReadAppData(appData))
        return;
    // A folder path that does not fit is refused rather than cut: a cut path
    // could name some other folder whose files we would then delete.
    wchar_t folder[kPathChars];
    if (!CTextWriter(folder, kPathChars).Text(appData).Letter(L'\\').Text(kJumpListFolder).Whole())
        return;
    wchar_t pattern[kPathChars];
    if (!CTextWriter(pattern, kPathChars).Text(folder).Text(L"\\*").Whole())
        return;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        DeleteEntry(folder, entry);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool CPrivacyCleaner::ReadAppData(wchar_t* buffer)
{
    const DWORD length = GetEnvironmentVariableW(L"AppData", buffer, kPathChars);
    // 0 is a missing variable; kPathChars or more is the size it would need.
    if (length == 0 || length >= kPathChars)
        return false;
    return IsAbsolutePath(buffer);
}

void CPrivacyCleaner::DeleteEntry(const wchar_t* folder, const WIN32_FIND_DATAW& entry)
{
    // Sub-folders, "." and ".." included, are left alone, not entered;
    // DeleteFileW could not remove them anyway.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return;
    wchar_t path[kPathChars];
    // A name too long for our buffer is skipped: a cut name is another file.
    if (!CTextWriter(path, kPathChars).Text(folder).Letter(L'\\').Text(entry.cFileName).Whole())
        return;
    DeleteFileW(path);
}
