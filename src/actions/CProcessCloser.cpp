#include "CProcessCloser.h"

#include <cwchar>

#include "../core/CMyAppModule.h"

namespace {
// What a path may hold with the \\?\ prefix.
constexpr DWORD kLongestPath = 32768;
}

CProcessCloser::Result CProcessCloser::CloseAndKill(DWORD processId, DWORD waitMilliseconds)
{
    // A title match may well hit one of our own windows; ending ourselves
    // from the switcher thread would strand the user without the switch.
    if (processId == 0 || processId == GetCurrentProcessId())
        return kFailed;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return kFailed;
    return CloseAndKillOpened(process, processId, waitMilliseconds);
}

CProcessCloser::Result CProcessCloser::CloseAndKillNamed(DWORD processId, const wchar_t* imageName,
                                                         DWORD waitMilliseconds)
{
    if (processId == 0 || processId == GetCurrentProcessId() || !imageName)
        return kFailed;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE |
                                     PROCESS_QUERY_LIMITED_INFORMATION,
                                 FALSE, processId);
    if (!process)
        return kFailed;
    // Checked on the handle, not the id: the handle keeps the process object
    // it names, so what passes here is what gets closed or killed.
    if (!HasImageName(process, imageName)) {
        CloseHandle(process);
        return kFailed;
    }
    return CloseAndKillOpened(process, processId, waitMilliseconds);
}

CProcessCloser::Result CProcessCloser::CloseAndKillOpened(HANDLE process, DWORD processId,
                                                          DWORD waitMilliseconds)
{
    PostCloseToWindowsOf(processId);
    const Result result = WaitOrTerminate(process, waitMilliseconds);
    CloseHandle(process);
    return result;
}

bool CProcessCloser::HasImageName(HANDLE process, const wchar_t* name)
{
    // Long enough for any path the system reports; a path it cannot give
    // counts as another program's.
    std::vector<wchar_t> path(kLongestPath, L'\0');
    DWORD length = kLongestPath;
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length))
        return false;
    return IsImageNamed(path.data(), name);
}

CProcessCloser::Result CProcessCloser::WaitOrTerminate(HANDLE process, DWORD waitMilliseconds)
{
    if (WaitForSingleObject(process, waitMilliseconds) == WAIT_OBJECT_0)
        return kEndedByItself;
    return TerminateProcess(process, 0) ? kTerminated : kFailed;
}

void CProcessCloser::PostCloseToWindowsOf(DWORD processId)
{
    for (HWND window : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

BOOL CALLBACK CProcessCloser::CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::vector<HWND> CProcessCloser::TopLevelWindows()
{
    // Collected first and handled afterwards, so that the slow part (the
    // waits) runs outside the enumeration callback. EnumWindows works on a
    // list taken at its start anyway, so nothing is seen differently.
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HANDLE CProcessCloser::TakeProcessSnapshot(PROCESSENTRY32W* first)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    // The structure's own size: the API refuses a smaller one, and the
    // 64-bit layout is larger than the 32-bit one.
    first->dwSize = sizeof(*first);
    if (!Process32FirstW(snapshot, first)) {
        CloseHandle(snapshot);
        return nullptr;
    }
    return snapshot;
}

void CProcessCloser::TerminateProcesses(const std::vector<std::wstring>& names)
{
    if (names.empty())
        return;
    PROCESSENTRY32W entry{};
    HANDLE snapshot = TakeProcessSnapshot(&entry);
    if (!snapshot)
        return;
    do {
        // An entry listed twice asks twice; the second call finds the
        // process gone or going.
        const size_t calls = CountListMatches(entry.szExeFile, names);
        for (size_t i = 0; i < calls; ++i)
            CloseAndKillNamed(entry.th32ProcessID, entry.szExeFile, kProcessWait);
    } while (Process32NextW(snapshot, &entry));
    CloseHandle(snapshot);
}

void CProcessCloser::CloseWindowsWithTitle(const wchar_t* text)
{
    if (!text || text[0] == L'\0')
        return;
    for (HWND window : TopLevelWindows())
        CloseIfTitleMatches(window, text);
}

void CProcessCloser::CloseIfTitleMatches(HWND window, const wchar_t* text)
{
    // An earlier window's close-and-kill may have taken this one with it.
    if (!window || !IsWindow(window))
        return;
    wchar_t title[kTitleCapacity] = L"";
    if (GetWindowTextW(window, title, kTitleCapacity) <= 0)
        return;
    if (!TitleMatches(title, text))
        return;
    PostMessageW(window, WM_CLOSE, 0, 0);
    Sleep(kWindowWait);
    if (!IsWindow(window))
        return;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    CloseAndKill(processId, kProcessWait);
}

std::vector<std::wstring> CProcessCloser::ListProcessNames()
{
    // Every process is offered, also those we could not open right now:
    // termination matches names at switch time, and the user may well have
    // the rights then.
    std::vector<std::wstring> names;
    PROCESSENTRY32W entry{};
    HANDLE snapshot = TakeProcessSnapshot(&entry);
    if (!snapshot)
        return names;
    do {
        if (!IsNeverMatched(entry.szExeFile))
            AddUniqueName(names, entry.szExeFile);
    } while (Process32NextW(snapshot, &entry));
    CloseHandle(snapshot);
    return names;
}

bool CProcessCloser::IsSameName(const wchar_t* left, const wchar_t* right)
{
    if (!left || !right)
        return false;
    // File names compare the way the file system compares them, whatever
    // the user's locale.
    return CompareStringOrdinal(left, -1, right, -1, TRUE) == CSTR_EQUAL;
}

bool CProcessCloser::IsImageNamed(const wchar_t* imagePath, const wchar_t* name)
{
    if (!imagePath)
        return false;
    const wchar_t* fileName = imagePath;
    for (const wchar_t* at = imagePath; *at; ++at) {
        if (*at == L'\\' || *at == L'/')
            fileName = at + 1;
    }
    return IsSameName(fileName, name);
}

bool CProcessCloser::IsNeverMatched(const wchar_t* processName)
{
    return IsSameName(processName, L"[System Process]") || IsSameName(processName, L"system") ||
           IsSameName(processName, g_module.m_programFileName);
}

size_t CProcessCloser::CountListMatches(const wchar_t* processName,
                                        const std::vector<std::wstring>& names)
{
    if (IsNeverMatched(processName))
        return 0;
    size_t count = 0;
    for (const std::wstring& name : names) {
        if (IsSameName(processName, name.c_str()))
            ++count;
    }
    return count;
}

bool CProcessCloser::TitleMatches(const wchar_t* title, const wchar_t* text)
{
    if (!title || !text || text[0] == L'\0')
        return false;
    // The same cut GetWindowTextW makes with our buffer, so a title handed in
    // whole is matched exactly as a window's title would be.
    wchar_t cut[kTitleCapacity] = L"";
    lstrcpynW(cut, title, kTitleCapacity);
    return cut[0] != L'\0' && wcsstr(cut, text) != nullptr;
}

void CProcessCloser::AddUniqueName(std::vector<std::wstring>& names, const wchar_t* name)
{
    if (!name || name[0] == L'\0')
        return;
    for (const std::wstring& known : names) {
        if (IsSameName(known.c_str(), name))
            return;
    }
    names.emplace_back(name);
}
